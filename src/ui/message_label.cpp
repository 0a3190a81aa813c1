#include "ui/message_label.h"

#include <condition_variable>
#include <mutex>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace pimrose::ui {

// Shared with waiting senders, so it outlives a label destroyed while they wait.
struct MessageLabel::Sends {
  std::mutex mutex;
  std::condition_variable handled;
  bool stopped = false;
};

MessageLabel::MessageLabel(const ControlDefinition& definition, QObject* parent)
    : QObject(parent), definition_(definition), sends_(std::make_shared<Sends>()) {
  setObjectName(definition.name);
  if (auto* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &MessageLabel::stopSending);
}

MessageLabel::~MessageLabel() {
  stopSending();
}

void MessageLabel::stopSending() {
  {
    std::lock_guard lock(sends_->mutex);
    sends_->stopped = true;
  }
  sends_->handled.notify_all();
}

void MessageLabel::post(int code, const QVariant& payload) {
  QMetaObject::invokeMethod(
      this, [this, code, payload] { Q_EMIT messageArrived(code, payload); }, Qt::QueuedConnection);
}

void MessageLabel::send(int code, const QVariant& payload) {
  if (QThread::currentThread() == thread()) {
    Q_EMIT messageArrived(code, payload);
    return;
  }
  const std::shared_ptr<Sends> sends = sends_;
  auto done = std::make_shared<bool>(false);
  {
    std::lock_guard lock(sends->mutex);
    if (sends->stopped) return;
  }
  QMetaObject::invokeMethod(
      this,
      [this, code, payload, sends, done] {
        Q_EMIT messageArrived(code, payload);
        {
          std::lock_guard lock(sends->mutex);
          *done = true;
        }
        sends->handled.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(sends->mutex);
  sends->handled.wait(lock, [&] { return *done || sends->stopped; });
}

}  // namespace pimrose::ui
