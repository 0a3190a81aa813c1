#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include <QPointer>

#include "notices/scheduler.h"

namespace pimrose::test {

// A clock that moves only when the test says so: advance() runs every action that falls due, in time
// order, each at its own moment, so a test sees every step of an animation without waiting.
class ManualScheduler : public Scheduler {
 public:
  void runAfter(int delayMs, QObject* context, std::function<void()> action) override {
    pending_.push_back({now_ + delayMs, sequence_++, context, context != nullptr, std::move(action)});
  }

  void advance(qint64 ms) {
    const qint64 end = now_ + ms;
    while (!pending_.empty()) {
      const auto next = std::min_element(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
        return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
      });
      if (next->due > end) break;
      Pending due = std::move(*next);
      pending_.erase(next);
      now_ = due.due;
      if (!due.hasContext || due.context) due.action();
    }
    now_ = end;
  }

  qint64 now() const { return now_; }
  bool idle() const {
    return std::none_of(pending_.begin(), pending_.end(),
                        [](const Pending& p) { return !p.hasContext || p.context; });
  }

 private:
  struct Pending {
    qint64 due;
    quint64 sequence;
    QPointer<QObject> context;
    bool hasContext;
    std::function<void()> action;
  };

  std::vector<Pending> pending_;
  qint64 now_ = 0;
  quint64 sequence_ = 0;
};

}  // namespace pimrose::test
