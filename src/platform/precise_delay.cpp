#include "platform/precise_delay.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace pimrose {
namespace {

constexpr double kEndless = 18'000'000.0;

double millisecondsPerUnit(int unit) {
  switch (unit) {
    case 0:
      return 1;
    case 1:
      return 1'000;
    case 2:
      return 60'000;
    case 3:
      return 3'600'000;
    default:
      return unit;
  }
}

// Milliseconds to wait, clamped to what a deadline can hold (NaN and negatives wait not at all).
qint64 waitMilliseconds(std::optional<double> amount, int unit) {
  double ms = amount ? *amount * millisecondsPerUnit(unit) : 0;
  if (!amount && unit == 0) ms = kEndless * kEndless;
  if (!amount && unit != 0) ms = 0;
  if (!(ms > 0)) return 0;
  return ms >= double(LLONG_MAX / 2) ? LLONG_MAX / 2 : qint64(ms);
}

// One nested event loop until the deadline, in slices a QTimer can hold. Answers false when the loop
// ended early because the application is quitting.
bool serveEventsUntil(const QDeadlineTimer& deadline) {
  while (!deadline.hasExpired()) {
    QEventLoop loop;
    bool timerFired = false;
    const qint64 slice = std::clamp<qint64>(deadline.remainingTime(), 0, INT_MAX);
    QTimer::singleShot(std::chrono::milliseconds(slice), Qt::PreciseTimer, &loop, [&] {
      timerFired = true;
      loop.quit();
    });
    loop.exec();
    if (!timerFired) return false;
  }
  return true;
}

}  // namespace

bool PreciseDelay(std::optional<double> amount, int unit) {
  const qint64 ms = waitMilliseconds(amount, unit);
  if (ms == 0) return true;
  const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
  if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
    // No event loop to serve on this thread: a plain sleep is all it can do.
    while (!deadline.hasExpired())
      std::this_thread::sleep_for(
          std::chrono::milliseconds(std::min<qint64>(deadline.remainingTime(), 60'000)));
    return true;
  }
  serveEventsUntil(deadline);
  return true;
}

}  // namespace pimrose
