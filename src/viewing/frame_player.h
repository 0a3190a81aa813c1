#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include <QImage>

// When the frames of a moving picture are shown. No clock and no widgets: the viewer feeds in the
// frames as they arrive and the time it reads, and shows what the answer says.
namespace pimrose {

// One frame as the viewer receives it, already at the size it is shown.
struct PlayedFrame {
  quint64 playback = 0;  // the viewer's count of playbacks: frames of an older one are dropped
  QImage image;          // null once the animation is over: no frame follows
  int delayMs = 0;       // as the file stores it
};

// A delay of 10 ms or less (0 and 1 hundredth in a GIF) would spin through the frames; such files
// were written for players that clamp them, so they stay this long, as browsers keep them.
constexpr int kShortestFrameMs = 20;
inline int shownDelayMs(int storedMs) {
  return storedMs <= 10 ? kShortestFrameMs : storedMs;
}

// A frame late by more than this starts the schedule anew from the moment it is shown, rather than
// rushing through the frames behind it to catch up.
constexpr qint64 kResyncAfterMs = 100;

class FramePlayer {
 public:
  struct Step {
    QImage show;                     // the frame to show now; null when the one shown stays
    int taken = 0;                   // frames taken off the queue (each lets one more be decoded)
    std::optional<qint64> wakeAtMs;  // when to ask again; none while no frame waits
  };

  // A frame from the stream, in order.
  void add(PlayedFrame frame) { queued_.push_back(std::move(frame)); }
  // What to show at `nowMs`. The first frame shows at once; each later one once the frame before
  // has stayed its delay. Frames whose time has passed while a later one was due are skipped.
  Step advance(qint64 nowMs);
  // Frames waiting to be shown.
  size_t queued() const { return queued_.size(); }
  bool over() const { return over_; }
  void reset() { *this = FramePlayer(); }

 private:
  std::deque<PlayedFrame> queued_;
  std::optional<qint64> shownUntil_;  // when the frame shown gives way; none before the first
  bool over_ = false;
};

}  // namespace pimrose
