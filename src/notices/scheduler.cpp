#include "notices/scheduler.h"

#include <QTimer>

namespace pimrose {

void QtScheduler::runAfter(int delayMs, QObject* context, std::function<void()> action) {
  QTimer::singleShot(delayMs, context, std::move(action));
}

Scheduler& realScheduler() {
  static QtScheduler scheduler;
  return scheduler;
}

}  // namespace pimrose
