#include <csignal>

#include <QSignalSpy>

#include <gtest/gtest.h>

#include "platform/exit_signals.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// The three signals arrive on the event loop as calls instead of ending the test process.
TEST(ExitSignalsTest, SignalsArriveOnTheEventLoop) {
  ExitSignals signals;
  ASSERT_TRUE(signals.installed());
  QSignalSpy received(&signals, &ExitSignals::received);
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    received.clear();
    ASSERT_EQ(::raise(signalNumber), 0);
    ASSERT_TRUE(test::waitFor([&] { return !received.isEmpty(); })) << signalNumber;
    EXPECT_EQ(received.first().at(0).toInt(), signalNumber);
  }
}

TEST(ExitSignalsTest, OnlyOneWatcherAtATime) {
  ExitSignals first;
  ExitSignals second;
  EXPECT_TRUE(first.installed());
  EXPECT_FALSE(second.installed());
}

}  // namespace
}  // namespace pimrose
