#include "shell/screen_placement.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

namespace pimrose {

std::vector<MonitorRecord> listMonitors(const QWidget& window) {
  std::vector<QRect> screens;
  int primary = -1;
  const QList<QScreen*> all = QGuiApplication::screens();
  for (QScreen* screen : all) {
    if (screen == QGuiApplication::primaryScreen()) primary = int(screens.size());
    screens.push_back(screen->geometry());
  }
  return listMonitors(screens, primary, window.frameGeometry());
}

bool compositorPlacesWindows() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

MaximiseToggle::MaximiseToggle(QWidget& window, std::function<bool()> keepTaskbarClear, bool compositorPlaces)
    : QObject(&window),
      window_(window),
      keepTaskbarClear_(std::move(keepTaskbarClear)),
      compositorPlaces_(compositorPlaces) {
  window_.installEventFilter(this);
}

void MaximiseToggle::toggleMaximised() {
  if (compositorPlaces_) {
    if (window_.isMaximized())
      window_.showNormal();
    else
      window_.showMaximized();
    return;
  }
  const int reserve = keepTaskbarClear_ && keepTaskbarClear_() ? kMaximiseReserve : 0;
  const QRect target = pimrose::toggleMaximised(window_.geometry(), listMonitors(window_), reserve,
                                                savedRestoreBox_, window_.minimumSize());
  if (target != window_.geometry()) window_.setGeometry(target);
}

// Double-clicks on the window itself (not taken by a control) in the caption strip.
bool MaximiseToggle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && mouse->globalPosition().y() <= window_.y() + kCaptionStrip)
      toggleMaximised();
  }
  return false;
}

}  // namespace pimrose
