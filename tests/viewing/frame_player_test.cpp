#include <gtest/gtest.h>

#include <vector>

#include "viewing/frame_player.h"

namespace pimrose {
namespace {

// A frame told apart by its width.
PlayedFrame frame(int width, int delayMs) {
  return {1, QImage(width, 1, QImage::Format_RGB32), delayMs};
}

// The frames are all queued; the clock is read at the times given; the answer is the width of the
// frame shown at each (0: the one before stays) and when the player asks to be woken.
struct Reading {
  qint64 at;
  int shown;
  std::optional<qint64> wake;
};

void play(std::vector<PlayedFrame> frames, const std::vector<Reading>& readings) {
  FramePlayer player;
  for (PlayedFrame& f : frames) player.add(std::move(f));
  for (const Reading& r : readings) {
    const FramePlayer::Step step = player.advance(r.at);
    EXPECT_EQ(step.show.isNull() ? 0 : step.show.width(), r.shown) << "at " << r.at;
    EXPECT_EQ(step.wakeAtMs, r.wake) << "at " << r.at;
  }
}

TEST(FramePlayer, EachFrameStaysItsDelayWithTheFloorForShortOnes) {
  // 0 and 10 ms stay 20 ms; 30 ms stays 30 ms; the schedule is kept from when each frame was due.
  play({frame(1, 0), frame(2, 10), frame(3, 30), frame(4, 70)},
       {{1000, 1, 1020}, {1019, 0, 1020}, {1021, 2, 1040}, {1040, 3, 1070}, {1075, 4, std::nullopt}});
}

TEST(FramePlayer, LateFramesCatchUpOrStartTheScheduleAnew) {
  // Woken 30 ms late: frame 2 was due at 1020 and stays till 1040, so frame 3 follows at once.
  play({frame(1, 20), frame(2, 20), frame(3, 20), frame(4, 20)}, {{1000, 1, 1020}, {1050, 3, 1060}});
  // Woken 500 ms late (a busy machine): the next frame shows and its time runs from now.
  play({frame(1, 20), frame(2, 20), frame(3, 20)}, {{1000, 1, 1020}, {1520, 2, 1540}});
}

TEST(FramePlayer, TheEndKeepsTheLastFrameAndTellsEveryFrameTaken) {
  FramePlayer player;
  player.add(frame(1, 50));
  player.add(frame(2, 50));
  player.add({1, QImage(), 0});
  EXPECT_EQ(player.advance(0).taken, 1);
  EXPECT_EQ(player.advance(49).taken, 0);
  const FramePlayer::Step second = player.advance(50);
  EXPECT_EQ(second.show.width(), 2);
  EXPECT_EQ(second.wakeAtMs, 100);
  const FramePlayer::Step end = player.advance(100);
  EXPECT_TRUE(end.show.isNull());
  EXPECT_EQ(end.taken, 1);
  EXPECT_FALSE(end.wakeAtMs);
  EXPECT_TRUE(player.over());
  player.add(frame(3, 50));  // a frame after the end is never shown
  EXPECT_TRUE(player.advance(1000).show.isNull());
}

}  // namespace
}  // namespace pimrose
