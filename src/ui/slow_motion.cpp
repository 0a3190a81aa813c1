#include "ui/slow_motion.h"

#include <algorithm>
#include <cmath>

namespace pimrose::ui {

SlowMotion* SlowMotion::start(QObject* context, int from, int to, int durationMs, Callback callback) {
  auto* task = new SlowMotion(context, from, to, durationMs, std::move(callback));
  task->callback_(SlowMotionPhase::Started, from);
  task->timer_.start(kStepMs);
  return task;
}

SlowMotion::SlowMotion(QObject* context, int from, int to, int durationMs, Callback callback)
    : QObject(context),
      callback_(std::move(callback)),
      from_(from),
      to_(to),
      steps_(std::max(1, durationMs / kStepMs)) {
  connect(&timer_, &QTimer::timeout, this, &SlowMotion::tick);
}

// Eases out: quick at first, gentle at the end, as sliding panels look natural.
void SlowMotion::tick() {
  ++done_;
  const double t = static_cast<double>(done_) / steps_;
  const double eased = 1.0 - (1.0 - t) * (1.0 - t);
  const int value = done_ >= steps_ ? to_ : from_ + static_cast<int>(std::lround((to_ - from_) * eased));
  callback_(SlowMotionPhase::Step, value);
  callback_(SlowMotionPhase::Redraw, value);
  if (done_ < steps_) return;
  timer_.stop();
  callback_(SlowMotionPhase::Finished, to_);
  deleteLater();
}

}  // namespace pimrose::ui
