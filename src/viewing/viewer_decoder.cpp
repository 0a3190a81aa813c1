#include "viewing/viewer_decoder.h"

#include <algorithm>

#include "codecs/file_reading.h"
#include "codecs/frame_source.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"
#include "viewing/viewer_placement.h"

namespace pimrose {
QImage fittedToTarget(const QImage& picture, QSize target) {
  if (picture.isNull() || target.isEmpty() || picture.size() == target) return picture;
  if (picture.width() <= target.width() && picture.height() <= target.height()) return picture;
  return scaledThumbnail(picture, target);
}

DecodedView decodeForViewer(const ViewerRequest& request) {
  DecodedView result{request, {}, QSize(0, 0)};
  // Probed once: the header is read before the file is read whole, and the decoder takes it as it is.
  const std::optional<PictureProbe> probe = PictureProbe::open(request.path);
  if (!probe) return result;
  result.pictureSize = probe->upright();
  const QSize target = decodeTarget(result.pictureSize, request.box);
  const BudgetedBytes read = probe->readAll(sharedReadBudget());
  if (read.bytes.isEmpty()) return result;
  result.image = fittedToTarget(
      decodeUpright(probe->header(), read.bytes, target, PreviewUse::Refused, nullptr), target);
  // The bytes are at hand: counting a GIF's frames only skips its blocks.
  result.moving = !result.image.isNull() && isMovingPicture(probe->header(), read.bytes);
  return result;
}

std::optional<ViewerRequest> ViewerDecoder::Line::take() {
  if (waiting.empty()) return std::nullopt;
  running = waiting.front();
  waiting.pop_front();
  return running;
}

ViewerDecoder::ViewerDecoder(ViewerDecodeWork work, QObject* parent)
    : QObject(parent),
      work_(std::move(work)),
      worker_([this](const ViewerRequest& request) { return work_(request); },
              [this](std::vector<DecodedView>& results) {
                for (const DecodedView& result : results) Q_EMIT decoded(result);
              }) {}

ViewerDecoder::~ViewerDecoder() = default;

void ViewerDecoder::request(const ViewerRequest& request, bool first) {
  worker_.change([&](Line& line) {
    if (line.running == request) return;
    auto queued = std::find(line.waiting.begin(), line.waiting.end(), request);
    if (queued != line.waiting.end()) {
      if (!first) return;
      line.waiting.erase(queued);
    }
    if (first)
      line.waiting.push_front(request);
    else
      line.waiting.push_back(request);
  });
}

void ViewerDecoder::dropWaiting() {
  worker_.change([](Line& line) { line.waiting.clear(); });
}

}  // namespace pimrose
