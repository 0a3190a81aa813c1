#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "support/wait_for.h"
#include "viewing/frame_streamer.h"

namespace pimrose {
namespace {

// Frames 1, 2, ... `perPass` (each as wide as its number, `delay` ms each), `plays` passes (0: for
// ever). Counts the frames asked for across every thread.
class CountingSource : public FrameSource {
 public:
  CountingSource(int perPass, int plays, std::shared_ptr<std::atomic<int>> asked)
      : perPass_(perPass), plays_(plays), asked_(std::move(asked)) {}
  std::optional<SourceFrame> next() override {
    if (at_ == perPass_) return std::nullopt;
    ++*asked_;
    ++at_;
    return SourceFrame{QImage(at_, 1, QImage::Format_ARGB32_Premultiplied), 40};
  }
  bool rewind() override {
    at_ = 0;
    return true;
  }
  int plays() const override { return plays_; }

 private:
  int perPass_, plays_, at_ = 0;
  std::shared_ptr<std::atomic<int>> asked_;
};

struct Received {
  std::vector<int> widths;  // 0 for the end
  std::vector<quint64> playbacks;
};

FrameSourceOpener counting(int perPass, int plays, std::shared_ptr<std::atomic<int>> asked) {
  return [=](const QString&) { return std::make_unique<CountingSource>(perPass, plays, asked); };
}

// Passes as the source says, then one end; a damaged source that gives one frame a pass stops.
TEST(FrameStreamer, PlaysThePassesTheFileAsksForThenEnds) {
  const struct {
    int perPass, plays;
    std::vector<int> widths;
  } cases[] = {{3, 2, {1, 2, 3, 1, 2, 3, 0}}, {2, 1, {1, 2, 0}}, {1, 0, {1, 0}}};
  for (const auto& c : cases) {
    Received got;
    auto asked = std::make_shared<std::atomic<int>>(0);
    FrameStreamer streamer([&](const PlayedFrame& f) { got.widths.push_back(f.image.width()); },
                           counting(c.perPass, c.plays, asked));
    streamer.play({7, QStringLiteral("moving.gif"), QSize(100, 100)});
    streamer.release(7, 10);  // more room than the frames need
    ASSERT_TRUE(test::waitFor([&] { return !got.widths.empty() && got.widths.back() == 0; }));
    EXPECT_EQ(got.widths, c.widths);
  }
}

// A file that loops for ever is decoded only as far ahead as the frames given back allow, and a
// new playback stops the old one: its frames carry their own playback.
TEST(FrameStreamer, HoldsNoMoreFramesThanTheRingAndStopsWhenAskedTo) {
  auto asked = std::make_shared<std::atomic<int>>(0);
  Received got;
  const QSize target(4000, 3000);  // large frames: the ring shrinks to its least
  const int ahead = framesAhead(target);
  EXPECT_EQ(ahead, 2);
  EXPECT_EQ(framesAhead(QSize(400, 300)), 8);
  {
    FrameStreamer streamer(
        [&](const PlayedFrame& f) {
          got.widths.push_back(f.image.width());
          got.playbacks.push_back(f.playback);
        },
        counting(5, 0, asked));
    streamer.play({1, QStringLiteral("a.gif"), target});
    ASSERT_TRUE(test::waitFor([&] { return int(got.widths.size()) == ahead; }));
    streamer.release(1, 1);
    ASSERT_TRUE(test::waitFor([&] { return int(got.widths.size()) == ahead + 1; }));
    streamer.release(2, 5);  // no such playback: nothing more is decoded
    streamer.stop();
    streamer.release(1, 5);  // stopped: nothing more either
    streamer.play({2, QStringLiteral("b.gif"), target});
    ASSERT_TRUE(test::waitFor([&] { return int(got.widths.size()) == 2 * ahead + 1; }));
  }  // the thread has ended: every frame it decoded is counted
  EXPECT_EQ(asked->load(), 2 * ahead + 1);
  EXPECT_EQ(got.playbacks, (std::vector<quint64>{1, 1, 1, 2, 2}));
}

}  // namespace
}  // namespace pimrose
