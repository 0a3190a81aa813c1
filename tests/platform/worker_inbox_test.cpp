#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/worker_inbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

struct InOrder {
  using Job = int;
  std::deque<int> waiting;
  std::optional<int> take() {
    if (waiting.empty()) return std::nullopt;
    const int job = waiting.front();
    waiting.pop_front();
    return job;
  }
  void finished(const int&) {}
  void stop() { waiting.clear(); }
};

// Results come to the owner's thread in the order they were made; a result made after the owner
// went is dropped, never delivered to what has gone.
TEST(WorkerInboxTest, ResultsArriveOnTheOwnersThreadAndNoneAfterItHasGone) {
  std::promise<void> diskAnswers;
  std::shared_future<void> answer = diskAnswers.get_future().share();
  std::vector<int> taken;
  bool onOwnersThread = true;
  QThread* const owner = QThread::currentThread();
  auto worker = std::make_unique<Worker<InOrder, int>>(
      [answer](int& job) {
        if (job == 3) answer.wait();
        return job * 10;
      },
      [&](std::vector<int>& results) {
        taken.insert(taken.end(), results.begin(), results.end());
        onOwnersThread = onOwnersThread && QThread::currentThread() == owner;
      });
  worker->change([](InOrder& queue) { queue.waiting = {1, 2, 3, 4}; });
  ASSERT_TRUE(test::waitFor([&] { return taken.size() == 2; }));
  diskAnswers.set_value();
  worker.reset();
  QCoreApplication::processEvents();
  EXPECT_EQ(taken, (std::vector<int>{10, 20}));
  EXPECT_TRUE(onOwnersThread);
}

TEST(WorkerInboxTest, ASlotOutlivesItsInbox) {
  Inbox<int>::Slot slot;
  {
    Inbox<int> inbox([](std::vector<int>&) {});
    slot = inbox.slot();
    EXPECT_TRUE(slot.put(1));
  }
  std::thread([&] { EXPECT_FALSE(slot.put(2)); }).join();
  QCoreApplication::processEvents();
}

}  // namespace
}  // namespace pimrose
