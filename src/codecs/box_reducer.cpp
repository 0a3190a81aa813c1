#include "codecs/box_reducer.h"

#include <algorithm>

namespace pimrose {

BoxReducer::BoxReducer(int width, int height, int factor)
    : width_(width),
      height_(height),
      factor_(std::max(1, factor)),
      sums_(size_t(outputSide(width, factor_)) * 4, 0),
      out_(outputSide(width, factor_), outputSide(height, factor_), QImage::Format_ARGB32_Premultiplied) {}

int BoxReducer::factorCovering(QSize stored, QSize atLeast) {
  if (atLeast.isEmpty() || stored.isEmpty()) return 1;
  return std::max(1, std::min(stored.width() / atLeast.width(), stored.height() / atLeast.height()));
}

// One output column's run of `factor_` source pixels at a time: a division per pixel to find the
// column cost more than the sums themselves.
void BoxReducer::addRow(const uchar* rgba) {
  if (out_.isNull() || outRow_ >= out_.height()) return;
  quint64* sum = sums_.data();
  for (int x = 0; x < width_; sum += 4) {
    const int end = std::min(width_, x + factor_);
    quint64 r = 0, g = 0, b = 0, alpha = 0;
    for (; x < end; ++x, rgba += 4) {
      const quint32 a = rgba[3];
      r += rgba[0] * a;
      g += rgba[1] * a;
      b += rgba[2] * a;
      alpha += a;
    }
    sum[0] += r;
    sum[1] += g;
    sum[2] += b;
    sum[3] += alpha;
  }
  ++rowsSeen_;
  if (++rowsInBand_ == factor_ || rowsSeen_ == height_) flushBand();
}

void BoxReducer::addClearRow() {
  if (out_.isNull() || outRow_ >= out_.height()) return;
  ++rowsSeen_;
  if (++rowsInBand_ == factor_ || rowsSeen_ == height_) flushBand();
}

void BoxReducer::addClearRowsToEnd() {
  while (!out_.isNull() && rowsSeen_ < height_ && outRow_ < out_.height()) addClearRow();
}

void BoxReducer::flushBand() {
  auto* line = reinterpret_cast<QRgb*>(out_.scanLine(outRow_));
  for (int ox = 0; ox < out_.width(); ++ox) {
    const int columns = std::min(factor_, width_ - ox * factor_);
    const quint64 count = quint64(columns) * quint64(rowsInBand_);
    const quint64* sum = &sums_[size_t(ox) * 4];
    // Colour sums carry a factor of 255 from the alpha weighting; rounding to nearest.
    const auto colour = [&](int c) { return int((sum[c] + count * 255 / 2) / (count * 255)); };
    line[ox] = qRgba(colour(0), colour(1), colour(2), int((sum[3] + count / 2) / count));
  }
  std::fill(sums_.begin(), sums_.end(), 0);
  rowsInBand_ = 0;
  ++outRow_;
}

}  // namespace pimrose
