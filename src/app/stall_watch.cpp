#include "app/stall_watch.h"

#include <QLoggingCategory>

#include <algorithm>
#include <ctime>

namespace pimrose {
namespace {

constexpr int kTickMs = 10;
constexpr int kLoggedStallMs = 20;

Q_LOGGING_CATEGORY(lcStall, "pimrose.stall", QtWarningMsg)

// CPU time of the calling thread.
qint64 threadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

StallWatch::StallWatch(int reportMs, QObject* parent) : QObject(parent), reportMs_(reportMs) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &StallWatch::tick);
  sinceTick_.start();
  cpuAtTickNs_ = threadCpuNs();
  timer_.start();
}

void StallWatch::tick() {
  const qint64 stall = sinceTick_.restart() - kTickMs;
  const qint64 cpu = threadCpuNs();
  const qint64 busy = std::min(stall, (cpu - cpuAtTickNs_) / 1'000'000);
  cpuAtTickNs_ = cpu;
  longestMs_ = std::max(longestMs_, stall);
  longestBusyMs_ = std::max(longestBusyMs_, busy);
  if (stall >= reportMs_) Q_EMIT stalled(stall, busy);
}

void StallWatch::startIfLogged(QObject* parent) {
  if (!lcStall().isDebugEnabled()) return;
  auto* watch = new StallWatch(kLoggedStallMs, parent);
  connect(watch, &StallWatch::stalled, watch, [](qint64 ms, qint64 busyMs) {
    qCDebug(lcStall).nospace() << "ui stall: " << ms << " ms, busy " << busyMs << " ms";
  });
}

}  // namespace pimrose
