#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "app/stall_watch.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// A turn of the event loop that takes 150 ms is reported as one stall of about that length; the
// quick turns before it are not.
TEST(StallWatchTest, ReportsATurnOfTheEventLoopThatTakesTooLong) {
  StallWatch watch(100);
  std::vector<qint64> stalls;
  QObject::connect(&watch, &StallWatch::stalled, [&](qint64 ms) { stalls.push_back(ms); });
  bool blocked = false;
  QTimer::singleShot(30, [&] {
    QThread::msleep(150);  // the stall being measured
    blocked = true;
  });
  ASSERT_TRUE(test::waitFor([&] { return blocked && !stalls.empty(); }));
  EXPECT_GE(stalls.front(), 130);
  EXPECT_LT(stalls.front(), 1000);
  EXPECT_GE(watch.longestMs(), stalls.front());
}

}  // namespace
}  // namespace pimrose
