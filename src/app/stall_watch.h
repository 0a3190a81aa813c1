#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace pimrose {

// Measures how long the UI thread goes without serving its event loop: a 10 ms timer runs at most
// once per turn of the loop, so the gap between two of its runs, less the interval, is the time the
// window could not answer input or paint. Gaps of at least `reportMs` are announced with the CPU
// time the UI thread spent in them: on a machine short of cores a thread that waits its turn to run
// stalls as well, and only the busy part is the program's own doing.
class StallWatch : public QObject {
  Q_OBJECT

 public:
  explicit StallWatch(int reportMs, QObject* parent = nullptr);

  qint64 longestMs() const { return longestMs_; }
  qint64 longestBusyMs() const { return longestBusyMs_; }

  // Logs every stall of 20 ms or more as "ui stall: N ms, busy M ms" when QT_LOGGING_RULES enables
  // "pimrose.stall" (the stress tests read those lines); costs nothing otherwise.
  static void startIfLogged(QObject* parent);

 Q_SIGNALS:
  void stalled(qint64 ms, qint64 busyMs);

 private:
  void tick();

  QTimer timer_;
  QElapsedTimer sinceTick_;
  qint64 cpuAtTickNs_ = 0;
  int reportMs_;
  qint64 longestMs_ = 0;
  qint64 longestBusyMs_ = 0;
};

}  // namespace pimrose
