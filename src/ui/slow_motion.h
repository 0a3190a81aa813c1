#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

namespace pimrose::ui {

// What a slow-motion task reports to its callback, in this order: started once, a step per
// tick with the value reached (the last step is exactly `to`), a redraw after each step, and
// finished once.
enum class SlowMotionPhase { Started = 1, Step = 3, Redraw = 4, Finished = 5 };

// Moves a value from `from` to `to` in steps about 25 ms apart over `durationMs`; the callback
// applies each value (to a control's top, transparency, ...). The task deletes itself after
// Finished, or stops silently when its context object goes away.
// No caller in the program: the notices slide through their Scheduler, which tests drive by hand;
// kept as the engine's animation task.
class SlowMotion : public QObject {
  Q_OBJECT

 public:
  using Callback = std::function<void(SlowMotionPhase phase, int value)>;
  static constexpr int kStepMs = 25;

  static SlowMotion* start(QObject* context, int from, int to, int durationMs, Callback callback);
  int stepCount() const { return steps_; }

 private:
  SlowMotion(QObject* context, int from, int to, int durationMs, Callback callback);
  void tick();

  QTimer timer_;
  Callback callback_;
  int from_;
  int to_;
  int steps_;
  int done_ = 0;
};

}  // namespace pimrose::ui
