#include <atomic>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include "platform/thread_wake.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

TEST(ThreadWakeTest, RingsFromManyThreadsWakeTheOwnerOnItsOwnThread) {
  std::atomic<int> rung{0};
  int wakes = 0;
  bool onOwnerThread = true;
  QThread* const owner = QThread::currentThread();
  ThreadWake wake([&] {
    ++wakes;
    onOwnerThread = onOwnerThread && QThread::currentThread() == owner;
  });
  const ThreadWake::Bell bell = wake.bell();
  std::vector<std::thread> ringers;
  for (int t = 0; t < 4; ++t)
    ringers.emplace_back([&] {
      for (int i = 0; i < 500; ++i) {
        bell();
        ++rung;
      }
    });
  for (std::thread& ringer : ringers) ringer.join();
  ASSERT_TRUE(test::waitFor([&] { return wakes > 0; }));
  QCoreApplication::processEvents();
  EXPECT_TRUE(onOwnerThread);
  EXPECT_LT(wakes, rung.load()) << "rings before the owner wakes fold into one wake";

  // A ring after the last wake is heard again.
  const int before = wakes;
  bell();
  EXPECT_TRUE(test::waitFor([&] { return wakes > before; }));
}

TEST(ThreadWakeTest, ABellOutlivesItsOwner) {
  ThreadWake::Bell bell;
  {
    ThreadWake wake([] {});
    bell = wake.bell();
  }
  std::thread([&] { bell(); }).join();  // must neither crash nor reach a dead object
  QCoreApplication::processEvents();
}

}  // namespace
}  // namespace pimrose
