#include "shell/tray_icon.h"

namespace pimrose {

bool TrayIcon::add(QWidget* window, const QByteArray& icon, const QString& tip) {
  (void)window;
  (void)icon;
  (void)tip;
  added_ = true;
  return true;
}

void TrayIcon::attach(EventRoutine routine) {
  routine_ = std::move(routine);
}

void TrayIcon::remove() {
  added_ = false;
}

}  // namespace pimrose
