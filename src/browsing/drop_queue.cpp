#include "browsing/drop_queue.h"

#include <utility>

#include <QMetaObject>

namespace pimrose {

namespace {
constexpr int kDropTimerMs = 50;
}

DropQueue::DropQueue(OpenFunction open, QObject* parent) : QObject(parent), open_(std::move(open)) {
  timer_.setObjectName(QStringLiteral("时钟_拖放路径"));
  timer_.setInterval(kDropTimerMs);
  connect(&timer_, &QTimer::timeout, this, &DropQueue::tick);
  timerSwitch_ = [this](bool run) { run ? timer_.start() : timer_.stop(); };
}

void DropQueue::setTimerSwitch(TimerSwitch timerSwitch) {
  timer_.stop();
  timerSwitch_ = std::move(timerSwitch);
  if (state_ != State::Idle) timerSwitch_(true);
}

// A running timer is left alone: restarting it would push the batch's opening further away.
void DropQueue::queuePath(const QString& path) {
  pending_.append(path);
  const bool wasIdle = state_ == State::Idle;
  state_ = State::Queued;
  if (wasIdle) timerSwitch_(true);
  if (!batchGrown_ || std::exchange(announceQueued_, true)) return;
  QMetaObject::invokeMethod(this, &DropQueue::announceBatch, Qt::QueuedConnection);
}

// A batch opened in the meantime needs no preparing.
void DropQueue::announceBatch() {
  announceQueued_ = false;
  if (state_ != State::Idle && batchGrown_) batchGrown_(pending_);
}

void DropQueue::tick() {
  // Three tests in this order within one event: Queued only reaches Opening on the next event.
  if (state_ == State::Waiting) state_ = State::Opening;
  if (state_ == State::Queued) state_ = State::Waiting;
  if (state_ == State::Idle) timerSwitch_(false);
  if (state_ != State::Opening) return;
  const QStringList batch = std::exchange(pending_, {});
  state_ = State::Idle;
  timerSwitch_(false);
  if (open_) open_(batch);
}

}  // namespace pimrose
