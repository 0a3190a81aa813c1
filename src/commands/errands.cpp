#include "commands/errands.h"

#include <thread>

namespace pimrose {

DiskWorkPool::DiskWorkPool(int maxThreads) : maxThreads_(maxThreads) {}

// A waiting thread is promised to this task at once, so a second task started before it wakes
// gets a thread of its own rather than queueing behind a read that may never end.
void DiskWorkPool::start(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  if (idle_ > 0) {
    --idle_;
  } else if (threads_ < maxThreads_) {
    ++threads_;
    // The pool is never torn down, so its threads are never joined.
    std::thread([this] { serve(); }).detach();
  }
  taskWaits_.notify_one();
}

void DiskWorkPool::waitForDone() {
  std::unique_lock lock(mutex_);
  allDone_.wait(lock, [this] { return tasks_.empty() && running_ == 0; });
}

void DiskWorkPool::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (tasks_.empty()) {
      ++idle_;
      taskWaits_.wait(lock, [this] { return !tasks_.empty(); });
    }
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    ++running_;
    lock.unlock();
    task();
    task = nullptr;  // what it holds goes before the pool counts it done
    lock.lock();
    --running_;
    if (running_ == 0 && tasks_.empty()) allDone_.notify_all();
  }
}

DiskWorkPool& diskWorkPool() {
  // Each slow read holds a thread until the disk answers; enough for a user's clicks on a hung share.
  static DiskWorkPool* const pool = new DiskWorkPool(16);
  return *pool;
}

Errands::Errands(QObject* parent)
    : QObject(parent), inbox_([](std::vector<Delivery>& arrived) {
        for (const Delivery& delivery : arrived) delivery();
      }) {}

// The inbox closes with this object: a delivery that arrives later is dropped with it.
Errands::~Errands() = default;

void Errands::start(std::function<Delivery()> work) {
  diskWorkPool().start([slot = inbox_.slot(), work = std::move(work)] { slot.put(work()); });
}

}  // namespace pimrose
