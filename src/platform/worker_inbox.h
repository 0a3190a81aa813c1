#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/thread_wake.h"

// Work done off the UI thread and its results handed back to it, written once for every worker of
// the program.
//
// Inbox<Result>: results put from any thread are kept under a std::mutex; the first one of a burst
// rings the owner's ThreadWake after the lock is let go, and the owner's thread takes everything that
// has arrived by then, in one batch. Putting never waits for the owner. Once the inbox is gone a
// put drops its result (and answers false), so a worker that finishes late reaches nothing.
//
// Worker<Queue, Result>: one thread of its own over an Inbox. The owner keeps its waiting jobs in a
// Queue (its own rules: newest only, first in line, ...), changed under the worker's lock through
// change(); the thread takes the next job under that lock, runs it outside every lock and puts the
// result. Going away stops the queue, lets the job that runs finish and drops its result; the thread
// never waits for the owner's thread, so joining it cannot deadlock.
//
// Every hand-over is a standard mutex or the eventfd of ThreadWake, so ThreadSanitizer sees it. The
// owner's side (construction, take, change, destruction) runs on the thread that owns the inbox; the
// results are taken there while its event loop runs.

namespace pimrose {

template <typename Result>
class Inbox {
  struct Box {
    std::mutex mutex;
    std::vector<Result> arrived;
    bool open = true;
    ThreadWake::Bell ring;
  };

 public:
  // Runs on the owner's thread with every result that has arrived since the last call, oldest first.
  using Take = std::function<void(std::vector<Result>& results)>;

  // A way in, for any thread: copies share the inbox and stay safe to call after it has gone.
  class Slot {
   public:
    Slot() = default;
    // False when the inbox has gone (or this slot belongs to none): the result is dropped.
    bool put(Result result) const {
      if (!box_) return false;
      bool wake = false;
      {
        std::lock_guard lock(box_->mutex);
        if (!box_->open) return false;
        wake = box_->arrived.empty();
        box_->arrived.push_back(std::move(result));
      }
      if (wake) box_->ring();
      return true;
    }

   private:
    friend class Inbox;
    explicit Slot(std::shared_ptr<Box> box) : box_(std::move(box)) {}
    std::shared_ptr<Box> box_;
  };

  explicit Inbox(Take take)
      : box_(std::make_shared<Box>()), take_(std::move(take)), wake_([this] { deliver(); }) {
    box_->ring = wake_.bell();
  }
  // Results that have not been taken are dropped, outside the lock.
  ~Inbox() {
    std::vector<Result> dropped;
    std::lock_guard lock(box_->mutex);
    box_->open = false;
    dropped.swap(box_->arrived);
  }
  Inbox(const Inbox&) = delete;
  Inbox& operator=(const Inbox&) = delete;

  Slot slot() const { return Slot(box_); }
  bool put(Result result) const { return slot().put(std::move(result)); }

 private:
  void deliver() {
    std::vector<Result> results;
    {
      std::lock_guard lock(box_->mutex);
      results.swap(box_->arrived);
    }
    if (!results.empty()) take_(results);
  }

  std::shared_ptr<Box> box_;
  Take take_;
  ThreadWake wake_;
};

// Queue: what the owner keeps waiting, with
//   using Job = ...;
//   std::optional<Job> take();   // the next job, or nothing to sleep on
//   void finished(const Job&);   // the job has run (its result is on its way)
//   void stop();                 // the owner goes: forget what waits, cancel what runs
// All three run under the worker's lock.
template <typename Queue, typename Result>
class Worker {
 public:
  using Job = typename Queue::Job;
  using Run = std::function<Result(Job& job)>;
  using Take = typename Inbox<Result>::Take;

  // The thread starts here: whatever `run` and the queue touch must exist already. The queue is made
  // from `queueArgs`.
  template <typename... QueueArgs>
  Worker(Run run, Take take, QueueArgs&&... queueArgs)
      : run_(std::move(run)), queue_{std::forward<QueueArgs>(queueArgs)...}, inbox_(std::move(take)) {
    thread_ = std::thread([this, slot = inbox_.slot()] { loop(slot); });
  }
  ~Worker() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      queue_.stop();
    }
    wake_.notify_all();
    thread_.join();
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Runs `change` on the queue under the lock, then wakes the thread; answers what `change` answers.
  template <typename Change>
  decltype(auto) change(Change&& change) {
    struct WakeAfter {
      std::condition_variable& wake;
      ~WakeAfter() { wake.notify_all(); }
    } wakeAfter{wake_};
    std::lock_guard lock(mutex_);
    return std::forward<Change>(change)(queue_);
  }

 private:
  void loop(const typename Inbox<Result>::Slot& slot) {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      std::optional<Job> job = queue_.take();
      if (!job) {
        wake_.wait(lock);
        continue;
      }
      lock.unlock();
      Result result = run_(*job);
      lock.lock();
      queue_.finished(*job);
      if (stopping_) break;
      lock.unlock();
      slot.put(std::move(result));
      lock.lock();
    }
  }

  Run run_;
  std::mutex mutex_;
  std::condition_variable wake_;
  Queue queue_;
  bool stopping_ = false;
  Inbox<Result> inbox_;
  std::thread thread_;
};

}  // namespace pimrose
