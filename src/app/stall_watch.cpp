#include "app/stall_watch.h"

#include <QLoggingCategory>

namespace pimrose {
namespace {

constexpr int kTickMs = 10;
constexpr int kLoggedStallMs = 20;

Q_LOGGING_CATEGORY(lcStall, "pimrose.stall", QtWarningMsg)

}  // namespace

StallWatch::StallWatch(int reportMs, QObject* parent) : QObject(parent), reportMs_(reportMs) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &StallWatch::tick);
  sinceTick_.start();
  timer_.start();
}

void StallWatch::tick() {
  const qint64 stall = sinceTick_.restart() - kTickMs;
  if (stall > longestMs_) longestMs_ = stall;
  if (stall >= reportMs_) Q_EMIT stalled(stall);
}

void StallWatch::startIfLogged(QObject* parent) {
  if (!lcStall().isDebugEnabled()) return;
  auto* watch = new StallWatch(kLoggedStallMs, parent);
  connect(watch, &StallWatch::stalled, watch,
          [](qint64 ms) { qCDebug(lcStall).nospace() << "ui stall: " << ms << " ms"; });
}

}  // namespace pimrose
