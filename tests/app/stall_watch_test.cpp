#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <time.h>

#include "app/stall_watch.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

qint64 threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

struct Stall {
  qint64 ms = 0, busyMs = 0;
};

// One turn of the event loop that takes at least 150 ms: reported once, as a stall of about that
// length, busy only for as long as the thread worked rather than waited.
TEST(StallWatchTest, ReportsATurnOfTheEventLoopThatTakesTooLongAndHowMuchOfItWasWork) {
  const struct {
    const char* name;
    std::function<void()> block;
    bool busy;
  } cases[] = {
      {"waiting", [] { QThread::msleep(150); }, false},
      {"working",
       [] {
         const qint64 until = threadCpuMs() + 150;
         while (threadCpuMs() < until) {
         }
       },
       true},
  };
  for (const auto& c : cases) {
    StallWatch watch(100);
    std::vector<Stall> stalls;
    QObject::connect(&watch, &StallWatch::stalled, [&](qint64 ms, qint64 busyMs) {
      stalls.push_back({ms, busyMs});
    });
    bool blocked = false;
    QTimer::singleShot(30, [&] {
      c.block();
      blocked = true;
    });
    ASSERT_TRUE(test::waitFor([&] { return blocked && !stalls.empty(); })) << c.name;
    EXPECT_GE(stalls.front().ms, 130) << c.name;
    if (c.busy)
      EXPECT_GE(stalls.front().busyMs, 130) << c.name;
    else
      EXPECT_LT(stalls.front().busyMs, 50) << c.name;
    EXPECT_GE(watch.longestMs(), stalls.front().ms) << c.name;
  }
}

}  // namespace
}  // namespace pimrose
