#pragma once

#include <memory>

#include <QObject>
#include <QVariant>

#include "ui/window_definition.h"

namespace pimrose::ui {

// Label (runtime): an invisible receiver that carries messages from any thread to the UI thread.
class MessageLabel : public QObject {
  Q_OBJECT

 public:
  MessageLabel(const ControlDefinition& definition, QObject* parent);
  ~MessageLabel() override;

  const QString& name() const { return definition_.name; }
  ControlClass controlClass() const { return definition_.cls; }

  // Any thread: queues the message and returns at once.
  void post(int code, const QVariant& payload = {});
  // Any thread: delivers the message and returns when the UI thread has handled it (direct when
  // called on the UI thread itself). No caller in the program: its workers hand results over through
  // an Inbox (platform/worker_inbox.h) and never wait for the UI thread. A sender never outwaits the label:
  // once sending has stopped it returns at once, handled or not, so a UI thread that joins its workers cannot
  // deadlock.
  void send(int code, const QVariant& payload = {});
  // Releases every sender waiting now and makes later sends return without delivering. Called
  // when the label goes and when the application is about to quit; an owner that joins a worker
  // which may send calls it first.
  void stopSending();

 Q_SIGNALS:
  void messageArrived(int code, const QVariant& payload);

 private:
  struct Sends;

  ControlDefinition definition_;
  std::shared_ptr<Sends> sends_;
};

}  // namespace pimrose::ui
