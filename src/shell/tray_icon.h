#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

namespace pimrose {

// The program's one icon in the notification area. Start-up adds it with the main window, the
// embedded icon and the tip "Pimrose", then attaches the program's event routine; the end of the
// program removes it. Until the notification-area feature lands these calls keep their names and
// arguments and show nothing.
class TrayIcon {
 public:
  using EventRoutine = std::function<void(int event)>;

  bool add(QWidget* window, const QByteArray& icon, const QString& tip);
  void attach(EventRoutine routine);
  void remove();

  bool isAdded() const { return added_; }

 private:
  bool added_ = false;
  EventRoutine routine_;
};

}  // namespace pimrose
