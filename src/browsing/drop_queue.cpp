#include "browsing/drop_queue.h"

namespace pimrose {

namespace {
constexpr int kDropTimerMs = 50;
}

DropQueue::DropQueue(OpenFunction open, QObject* parent) : QObject(parent), open_(std::move(open)) {
  timer_.setObjectName(QStringLiteral("时钟_拖放路径"));
  timer_.setInterval(kDropTimerMs);
  connect(&timer_, &QTimer::timeout, this, &DropQueue::tick);
  timer_.start();
}

void DropQueue::queuePath(const QString& path) {
  pending_.append(path);
  state_ = State::Queued;
}

void DropQueue::tick() {
  // Three tests in this order within one event: Queued only reaches Opening on the next event.
  if (state_ == State::Waiting) state_ = State::Opening;
  if (state_ == State::Queued) state_ = State::Waiting;
  if (state_ != State::Opening) return;
  const QStringList batch = std::exchange(pending_, {});
  state_ = State::Idle;
  if (open_) open_(batch);
}

}  // namespace pimrose
