#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace pimrose::test {

// Serves the event loop until the condition holds or the timeout passes; answers the condition.
template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 5000) {
  QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace pimrose::test
