#include "viewing/viewer_decoder.h"

#include <algorithm>

#include <QMetaObject>

#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"
#include "viewing/viewer_placement.h"

namespace pimrose {
namespace {

// The decoders stop at the first size that covers the target; the last step to the exact box
// size happens here, off the UI thread, so painting only copies pixels.
QImage fittedTo(const QImage& picture, QSize target) {
  if (picture.isNull() || target.isEmpty() || picture.size() == target) return picture;
  if (picture.width() <= target.width() && picture.height() <= target.height()) return picture;
  return scaledThumbnail(picture, target);
}

}  // namespace

DecodedView decodeForViewer(const ViewerRequest& request) {
  DecodedView result{request, {}, QSize(0, 0)};
  // Probed once: the header is read before the file is read whole, and the decoder takes it as it is.
  const std::optional<PictureProbe> probe = PictureProbe::open(request.path);
  if (!probe) return result;
  result.pictureSize = probe->upright();
  const QSize target = decodeTarget(result.pictureSize, request.box);
  const BudgetedBytes read = probe->readAll(sharedReadBudget());
  if (read.bytes.isEmpty()) return result;
  result.image =
      fittedTo(decodeUpright(probe->header(), read.bytes, target, PreviewUse::Refused, nullptr), target);
  return result;
}

ViewerDecoder::ViewerDecoder(ViewerDecodeWork work, QObject* parent)
    : QObject(parent), work_(std::move(work)), thread_([this] { run(); }) {}

ViewerDecoder::~ViewerDecoder() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    waiting_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

void ViewerDecoder::request(const ViewerRequest& request, bool first) {
  {
    std::lock_guard lock(mutex_);
    if (running_ == request) return;
    auto queued = std::find(waiting_.begin(), waiting_.end(), request);
    if (queued != waiting_.end()) {
      if (!first) return;
      waiting_.erase(queued);
    }
    if (first)
      waiting_.push_front(request);
    else
      waiting_.push_back(request);
  }
  wake_.notify_one();
}

void ViewerDecoder::dropWaiting() {
  std::lock_guard lock(mutex_);
  waiting_.clear();
}

void ViewerDecoder::run() {
  for (;;) {
    ViewerRequest request;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      request = waiting_.front();
      waiting_.pop_front();
      running_ = request;
    }
    DecodedView result = work_(request);
    bool wake = false;
    {
      std::lock_guard lock(mutex_);
      running_.reset();
      wake = arrived_.empty();
      arrived_.push_back(std::move(result));
    }
    // Results cross as values under the mutex; the queued call only wakes the UI thread. The
    // thread is joined before this object goes, so the call never reaches a dead receiver.
    if (wake) QMetaObject::invokeMethod(this, &ViewerDecoder::receiveArrived, Qt::QueuedConnection);
  }
}

void ViewerDecoder::receiveArrived() {
  std::vector<DecodedView> results;
  {
    std::lock_guard lock(mutex_);
    results.swap(arrived_);
  }
  for (const DecodedView& result : results) Q_EMIT decoded(result);
}

}  // namespace pimrose
