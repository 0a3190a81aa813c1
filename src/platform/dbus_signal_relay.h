#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <functional>
#include <utility>

namespace pimrose {

// Hands D-Bus signals to a function, whatever their arguments: QDBusConnection::connect wants a
// slot named by its signature, and the message carries the arguments and the sending object's path.
//
// Usage:
//   DBusSignalRelay closed([](const QDBusMessage& m) { ... m.path() ... });
//   bus.connect(service, path, interface, "Closed", &closed, DBusSignalRelay::slot());
class DBusSignalRelay : public QObject {
  Q_OBJECT

 public:
  explicit DBusSignalRelay(std::function<void(const QDBusMessage&)> handle, QObject* parent = nullptr)
      : QObject(parent), handle_(std::move(handle)) {}

  static const char* slot() { return SLOT(relay(QDBusMessage)); }

 public Q_SLOTS:
  void relay(const QDBusMessage& message) {
    if (handle_) handle_(message);
  }

 private:
  std::function<void(const QDBusMessage&)> handle_;
};

}  // namespace pimrose
