#include "viewing/viewer_placement.h"

#include <cmath>

#include "codecs/decode_limits.h"

namespace pimrose {
namespace {

// A box of the picture's own size, centred horizontally; centred vertically only when the
// picture is not taller than the frame, so a tall picture opens at its top edge.
QRect naturalBox(QSize frame, QSize picture) {
  const int left = int(-(picture.width() - frame.width()) / 2.0);
  const bool taller = (picture.height() - frame.height()) / 2.0 > 1e-07;
  const int top = taller ? 0 : int(-(picture.height() - frame.height()) / 2.0);
  return {QPoint(left, top), picture};
}

}  // namespace

QRect toggledBox(QRect box, QSize frame, QSize picture) {
  if (!isFitState(box, frame)) return {QPoint(0, 0), frame};
  if (picture.width() <= frame.width() && picture.height() <= frame.height()) return box;
  return naturalBox(frame, picture);
}

int wheelStepTarget(int current, int count, int delta) {
  if (count <= 0) return -1;
  const int next = delta < 0 ? current + 1 : current - 1;
  if (next >= 0 && next < count) return next;
  return delta < 0 ? count - 1 : 0;
}

QSize decodeTarget(QSize picture, QSize box) {
  if (picture.isEmpty()) return {};
  QSize target = picture;
  if (!box.isEmpty() && (picture.width() > box.width() || picture.height() > box.height()))
    target = picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
  if (fitsDecodeLimit(target)) return target;
  // Decoders stop at the first size that covers the target, which may be up to twice each side:
  // a quarter of the limit keeps whatever they choose within it.
  const double budget = double(kMaxDecodedPixels) / 4;
  const double shrink = std::sqrt(budget / (double(target.width()) * target.height()));
  return QSize(std::max(1, int(target.width() * shrink)), std::max(1, int(target.height() * shrink)));
}

}  // namespace pimrose
