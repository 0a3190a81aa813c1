#pragma once

#include <functional>

#include <QObject>

namespace pimrose {

// When delayed work runs. Notices, the prompt's give-up and other timed steps ask this instead of
// starting timers themselves, so tests can move time on by hand and check every step without waiting.
class Scheduler {
 public:
  virtual ~Scheduler() = default;

  // Runs `action` once on the UI thread, `delayMs` from now; nothing runs when `context` is destroyed
  // first.
  virtual void runAfter(int delayMs, QObject* context, std::function<void()> action) = 0;
};

// The real clock: one single-shot Qt timer per request, so nothing wakes the process while no work
// is pending.
class QtScheduler : public Scheduler {
 public:
  void runAfter(int delayMs, QObject* context, std::function<void()> action) override;
};

// The one real clock of the process; it holds no state, so it outlives everything that uses it.
Scheduler& realScheduler();

}  // namespace pimrose
