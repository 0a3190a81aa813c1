#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <thread>

#include "codecs/read_budget.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// A thread that asks the budget for `bytes` and keeps the grant until told to let go.
class Reader {
 public:
  Reader(ReadBudget& budget, qint64 bytes)
      : thread_([this, &budget, bytes, letGo = letGo_.get_future()] {
          ReadBudget::Grant grant = budget.acquire(bytes);
          granted_ = true;
          letGo.wait();
        }) {}
  ~Reader() {
    letGo();
    thread_.join();
  }
  bool granted() const { return granted_; }
  void letGo() {
    if (!released_.exchange(true)) letGo_.set_value();
  }

 private:
  std::atomic<bool> granted_ = false, released_ = false;
  std::promise<void> letGo_;
  std::thread thread_;  // last: it starts once the members it uses exist
};

TEST(ReadBudgetTest, AGrantThatDoesNotFitWaitsUntilBytesAreGivenBack) {
  ReadBudget budget(100);
  std::optional<ReadBudget::Grant> first = budget.acquire(60);
  Reader reader(budget, 50);
  ASSERT_TRUE(test::waitFor([&] { return budget.waiting() == 1; }));
  EXPECT_FALSE(reader.granted());
  EXPECT_EQ(budget.held(), 60);
  first.reset();
  ASSERT_TRUE(test::waitFor([&] { return reader.granted(); }));
  EXPECT_EQ(budget.held(), 50);
  EXPECT_EQ(budget.peakHeld(), 60);
  reader.letGo();
  ASSERT_TRUE(test::waitFor([&] { return budget.held() == 0; }));
}

// A request larger than the whole budget goes alone once nothing else is held, and holds off the
// rest until it is done: it neither waits for ever nor shares the budget.
TEST(ReadBudgetTest, AnOversizedGrantGoesAlone) {
  ReadBudget budget(100);
  std::optional<ReadBudget::Grant> small = budget.acquire(10);
  Reader huge(budget, 500);
  ASSERT_TRUE(test::waitFor([&] { return budget.waiting() == 1; }));
  small.reset();
  ASSERT_TRUE(test::waitFor([&] { return huge.granted(); }));
  Reader next(budget, 1);
  ASSERT_TRUE(test::waitFor([&] { return budget.waiting() == 1; }));
  EXPECT_FALSE(next.granted());
  huge.letGo();
  ASSERT_TRUE(test::waitFor([&] { return next.granted(); }));
  EXPECT_EQ(budget.peakHeld(), 500);
}

// Moving a grant moves what it holds; the bytes are given back once, by the last owner.
TEST(ReadBudgetTest, MovedGrantsGiveBackOnce) {
  ReadBudget budget(100);
  {
    ReadBudget::Grant a = budget.acquire(30);
    ReadBudget::Grant b = std::move(a);
    ReadBudget::Grant c = budget.acquire(20);
    c = std::move(b);  // c's own 20 bytes go back here
    EXPECT_EQ(budget.held(), 30);
  }
  EXPECT_EQ(budget.held(), 0);
}

}  // namespace
}  // namespace pimrose
