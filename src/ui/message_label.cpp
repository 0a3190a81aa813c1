#include "ui/message_label.h"

#include <QMetaObject>
#include <QThread>

namespace pimrose::ui {

MessageLabel::MessageLabel(const ControlDefinition& definition, QObject* parent)
    : QObject(parent), definition_(definition) {
  setObjectName(definition.name);
}

void MessageLabel::post(int code, const QVariant& payload) {
  QMetaObject::invokeMethod(
      this, [this, code, payload] { Q_EMIT messageArrived(code, payload); }, Qt::QueuedConnection);
}

void MessageLabel::send(int code, const QVariant& payload) {
  const auto type =
      QThread::currentThread() == thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
  QMetaObject::invokeMethod(
      this, [this, code, payload] { Q_EMIT messageArrived(code, payload); }, type);
}

}  // namespace pimrose::ui
