#include "codecs/read_budget.h"

#include <algorithm>
#include <utility>

namespace pimrose {

ReadBudget::Grant::Grant(Grant&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

ReadBudget::Grant& ReadBudget::Grant::operator=(Grant&& other) noexcept {
  if (this != &other) {
    giveBack();
    budget_ = std::exchange(other.budget_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

ReadBudget::Grant::~Grant() {
  giveBack();
}

void ReadBudget::Grant::giveBack() {
  if (budget_) budget_->release(bytes_);
  budget_ = nullptr;
  bytes_ = 0;
}

ReadBudget::ReadBudget(qint64 capacity) : capacity_(capacity) {}

ReadBudget::Grant ReadBudget::acquire(qint64 bytes) {
  bytes = std::max<qint64>(bytes, 0);
  std::unique_lock lock(mutex_);
  // An oversized request waits for an empty budget instead of for room it can never have.
  ++waiting_;
  freed_.wait(lock, [&] { return held_ == 0 || held_ + bytes <= capacity_; });
  --waiting_;
  held_ += bytes;
  peak_ = std::max(peak_, held_);
  return Grant(this, bytes);
}

void ReadBudget::release(qint64 bytes) {
  {
    std::lock_guard lock(mutex_);
    held_ -= bytes;
  }
  freed_.notify_all();
}

qint64 ReadBudget::capacity() const {
  std::lock_guard lock(mutex_);
  return capacity_;
}

void ReadBudget::setCapacity(qint64 capacity) {
  {
    std::lock_guard lock(mutex_);
    capacity_ = capacity;
  }
  freed_.notify_all();
}

qint64 ReadBudget::held() const {
  std::lock_guard lock(mutex_);
  return held_;
}

int ReadBudget::waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_;
}

qint64 ReadBudget::peakHeld() const {
  std::lock_guard lock(mutex_);
  return peak_;
}

void ReadBudget::resetPeak() {
  std::lock_guard lock(mutex_);
  peak_ = held_;
}

ReadBudget& sharedReadBudget() {
  static ReadBudget budget(kReadBudgetBytes);
  return budget;
}

}  // namespace pimrose
