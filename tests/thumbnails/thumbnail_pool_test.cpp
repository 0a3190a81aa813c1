#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "thumbnails/thumbnail_pool.h"

namespace pimrose {
namespace {

using namespace std::chrono_literals;

// Collects results on the worker threads; the test plays the UI thread that takes them.
class Collector {
 public:
  void add(LoadResult result) {
    std::lock_guard lock(mutex_);
    results_.push_back(std::move(result));
    changed_.notify_all();
  }
  bool waitForCount(size_t count, std::chrono::milliseconds timeout = 5s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return results_.size() >= count; });
  }
  std::vector<LoadResult> results() {
    std::lock_guard lock(mutex_);
    return results_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<LoadResult> results_;
};

LoadRequest request(int index, quint64 generation = 1) {
  return LoadRequest{ListId::Files, generation, index, QStringLiteral("/p/%1.jpg").arg(index), 150, true, 0};
}

TEST(ThumbnailPoolTest, NoMoreThanFortyAcceptedUntilResultsAreDelivered) {
  Collector collector;
  std::atomic<int> worked{0};
  std::atomic<int> deliveredCount{0};
  std::atomic<bool> overshot{false};
  {
    ThumbnailPool pool(
        [&](const LoadRequest& r) {
          // Checked on every start, so an overshoot is caught whenever it happens, not only when
          // the test happens to look.
          if (++worked - deliveredCount.load() > 40) overshot = true;
          return LoadedThumbnail{QImage(), r.index, QSize(), QString()};
        },
        [&](LoadResult result) { collector.add(std::move(result)); }, 4);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(pool.submit(request(i)));
    ASSERT_TRUE(collector.waitForCount(40));
    EXPECT_EQ(pool.inFlight(), 40);
    EXPECT_EQ(pool.waiting(), 60);

    const auto firstBatch = collector.results();
    for (int k = 0; k < 10; ++k) {
      ++deliveredCount;
      pool.delivered(firstBatch[size_t(k)].request);
    }
    ASSERT_TRUE(collector.waitForCount(50));
    EXPECT_EQ(pool.inFlight(), 40);
  }  // stopping joins the workers: whatever they were going to start has started by now
  EXPECT_FALSE(overshot.load());
  EXPECT_EQ(worked.load(), 50);
}

TEST(ThumbnailPoolTest, RequestsWaitingOrInFlightAreNotAcceptedTwice) {
  std::mutex gate;
  std::unique_lock hold(gate);
  Collector collector;
  ThumbnailPool pool(
      [&](const LoadRequest&) {
        std::lock_guard pass(gate);
        return LoadedThumbnail{};
      },
      [&](LoadResult result) { collector.add(std::move(result)); }, 2);
  EXPECT_TRUE(pool.submit(request(1)));
  EXPECT_FALSE(pool.submit(request(1)));
  EXPECT_TRUE(pool.submit(request(1, 2)));
  hold.unlock();
  ASSERT_TRUE(collector.waitForCount(2));
  EXPECT_FALSE(pool.submit(request(1)));  // still not delivered
  pool.delivered(collector.results()[0].request);
  pool.delivered(collector.results()[1].request);
  EXPECT_TRUE(pool.submit(request(1)));
}

TEST(ThumbnailPoolTest, WorkerReceivesItsOwnCopyOfTheRequest) {
  Collector collector;
  ThumbnailPool pool(
      [](const LoadRequest& r) {
        return LoadedThumbnail{QImage(), 0, QSize(), r.path};
      },
      [&](LoadResult result) { collector.add(std::move(result)); }, 2);
  LoadRequest r = request(7);
  pool.submit(r);
  r.path = QStringLiteral("/changed");
  ASSERT_TRUE(collector.waitForCount(1));
  EXPECT_EQ(collector.results()[0].thumbnail.error, QStringLiteral("/p/7.jpg"));
  EXPECT_EQ(collector.results()[0].request.index, 7);
}

TEST(ThumbnailPoolTest, StoppingWithBlockedWorkAndWaitingRequestsEndsCleanly) {
  std::mutex mutex;
  std::condition_variable changed;
  bool release = false;
  int started = 0;
  Collector collector;
  std::thread releaser;
  {
    ThumbnailPool pool(
        [&](const LoadRequest&) {
          std::unique_lock lock(mutex);
          ++started;
          changed.notify_all();
          changed.wait(lock, [&] { return release; });
          return LoadedThumbnail{};
        },
        [&](LoadResult result) { collector.add(std::move(result)); }, 2);
    for (int i = 0; i < 10; ++i) pool.submit(request(i));
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return started == 2; });
    }
    // The blocked work is let go only once stopping has dropped the waiting requests, so no
    // worker can take another one: the pool is being destroyed while its work is in flight.
    releaser = std::thread([&, pool = &pool] {
      while (pool->waiting() != 0) std::this_thread::yield();
      std::lock_guard lock(mutex);
      release = true;
      changed.notify_all();
    });
  }
  releaser.join();
  EXPECT_EQ(started, 2);
  EXPECT_EQ(collector.results().size(), 2u);
}

// What the workers did, in order: "result i" when result i reached the sink, "after i" when its
// follow-up ran. Work for request 0 waits at `gate` so the test can queue the rest first.
class FollowUpRecorder {
 public:
  std::mutex gate;

  ThumbnailPool makePool(int threads, Collector& collector) {
    return ThumbnailPool(
        [this](const LoadRequest& r) {
          if (r.index == 0) std::lock_guard pass(gate);
          LoadedThumbnail thumbnail;
          thumbnail.afterDelivery = [this, i = r.index] { note("after", i); };
          return thumbnail;
        },
        [this, &collector](LoadResult result) {
          note("result", result.request.index);
          collector.add(std::move(result));
        },
        threads, 1000);
  }
  std::vector<std::string> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  void note(const char* what, int index) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::string(what) + " " + std::to_string(index));
  }
  std::mutex mutex_;
  std::vector<std::string> events_;
};

TEST(ThumbnailPoolTest, FollowUpsWaitForEveryRequestAWorkerMayTake) {
  FollowUpRecorder recorder;
  Collector collector;
  {
    std::unique_lock hold(recorder.gate);
    ThumbnailPool pool = recorder.makePool(1, collector);
    ASSERT_TRUE(pool.submit(request(0)));
    while (pool.waiting() != 0) std::this_thread::yield();  // the worker holds request 0
    for (int i = 1; i < 10; ++i) ASSERT_TRUE(pool.submit(request(i)));
    hold.unlock();
    ASSERT_TRUE(collector.waitForCount(10));
  }
  const std::vector<std::string> events = recorder.events();
  ASSERT_EQ(events.size(), 20u);
  for (size_t k = 0; k < events.size(); ++k)
    EXPECT_EQ(events[k].rfind(k < 10 ? "result" : "after", 0), 0u) << k << ": " << events[k];
}

// However many pile up behind the requests, none is lost and none runs before its own result: those
// over the limit run at once, the rest before the pool is gone.
TEST(ThumbnailPoolTest, EveryFollowUpRunsOnceAfterItsResult) {
  FollowUpRecorder recorder;
  Collector collector;
  constexpr int kRequests = 3 * int(kMaxWaitingFollowUps);
  {
    ThumbnailPool pool = recorder.makePool(2, collector);
    for (int i = 0; i < kRequests; ++i) ASSERT_TRUE(pool.submit(request(i)));
    ASSERT_TRUE(collector.waitForCount(kRequests));
  }
  const std::vector<std::string> events = recorder.events();
  ASSERT_EQ(events.size(), size_t(2 * kRequests));
  for (int i = 0; i < kRequests; ++i) {
    const auto result = std::find(events.begin(), events.end(), "result " + std::to_string(i));
    const auto after = std::find(events.begin(), events.end(), "after " + std::to_string(i));
    ASSERT_NE(after, events.end()) << i;
    EXPECT_LT(result, after) << i;
  }
}

}  // namespace
}  // namespace pimrose
