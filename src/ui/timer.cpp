#include "ui/timer.h"

#include <algorithm>

namespace pimrose::ui {

Timer::Timer(const ControlDefinition& definition, QObject* parent)
    : QObject(parent), definition_(definition) {
  setObjectName(definition.name);
  connect(&timer_, &QTimer::timeout, this, &Timer::elapsed);
  setInterval(definition.props.interval);
}

void Timer::setInterval(int milliseconds) {
  interval_ = std::max(0, milliseconds);
  start();
}

void Timer::start() {
  if (interval_ == 0)
    timer_.stop();
  else
    timer_.start(interval_);
}

void Timer::stop() {
  timer_.stop();
}

}  // namespace pimrose::ui
