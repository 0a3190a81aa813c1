#include "viewing/frame_player.h"

namespace pimrose {

FramePlayer::Step FramePlayer::advance(qint64 nowMs) {
  Step step;
  while (!queued_.empty() && !over_ && (!shownUntil_ || nowMs >= *shownUntil_)) {
    PlayedFrame frame = std::move(queued_.front());
    queued_.pop_front();
    ++step.taken;
    if (frame.image.isNull()) {
      over_ = true;  // the last frame shown stays
      break;
    }
    const qint64 start = !shownUntil_ || nowMs - *shownUntil_ > kResyncAfterMs ? nowMs : *shownUntil_;
    shownUntil_ = start + shownDelayMs(frame.delayMs);
    step.show = std::move(frame.image);
  }
  if (!queued_.empty() && !over_) step.wakeAtMs = shownUntil_;
  return step;
}

}  // namespace pimrose
