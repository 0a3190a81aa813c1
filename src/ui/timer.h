#pragma once

#include <QObject>
#include <QTimer>

#include "ui/window_definition.h"

namespace pimrose::ui {

// Timer (runtime): raises elapsed() every interval; an interval of 0 stops it.
class Timer : public QObject {
  Q_OBJECT

 public:
  Timer(const ControlDefinition& definition, QObject* parent);

  const QString& name() const { return definition_.name; }
  ControlClass controlClass() const { return definition_.cls; }

  void setInterval(int milliseconds);  // negative counts as 0
  int interval() const { return interval_; }
  // Runs (again) at the current interval; an interval of 0 keeps the timer stopped.
  void start();
  void stop();
  bool isRunning() const { return timer_.isActive(); }

 Q_SIGNALS:
  void elapsed();

 private:
  ControlDefinition definition_;
  QTimer timer_;
  int interval_ = 0;
};

}  // namespace pimrose::ui
