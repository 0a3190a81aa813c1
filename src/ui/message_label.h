#pragma once

#include <QObject>
#include <QVariant>

#include "ui/window_definition.h"

namespace pimrose::ui {

// Label (runtime): an invisible receiver that carries messages from any thread to the UI thread.
class MessageLabel : public QObject {
  Q_OBJECT

 public:
  MessageLabel(const ControlDefinition& definition, QObject* parent);

  const QString& name() const { return definition_.name; }
  ControlClass controlClass() const { return definition_.cls; }

  // Any thread: queues the message and returns at once.
  void post(int code, const QVariant& payload = {});
  // Any thread: delivers the message and returns when the UI thread has handled it (direct when
  // called on the UI thread itself).
  void send(int code, const QVariant& payload = {});

 Q_SIGNALS:
  void messageArrived(int code, const QVariant& payload);

 private:
  ControlDefinition definition_;
};

}  // namespace pimrose::ui
