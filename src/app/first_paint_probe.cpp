#include "app/first_paint_probe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/app_log.h"

namespace pimrose {

FirstPaintProbe::FirstPaintProbe(QWidget& window, std::function<void()> then)
    : QObject(&window), window_(window), then_(std::move(then)) {}

void FirstPaintProbe::watch(QWidget& window, std::function<void()> then) {
  auto* probe = new FirstPaintProbe(window, std::move(then));
  window.installEventFilter(probe);
  probe->watchNativeWindow();
}

// The window's own paint event is the usual sign. When its children cover every pixel of it, Qt
// may paint only them, and the window itself hears nothing: the native window's expose, whose
// handling paints the whole window there and then, stands for the paint in that case.
void FirstPaintProbe::watchNativeWindow() {
  if (native_ || !window_.windowHandle()) return;
  native_ = window_.windowHandle();
  native_->installEventFilter(this);
}

bool FirstPaintProbe::eventFilter(QObject* watched, QEvent* event) {
  if (done_) return false;
  if (watched == &window_ && event->type() == QEvent::Paint) {
    painted();
  } else if (watched == &window_ && event->type() == QEvent::Show) {
    watchNativeWindow();
  } else if (watched == native_ && event->type() == QEvent::Expose && native_->isExposed()) {
    // Queued behind the expose, so it runs once the expose's painting is over; a window hidden
    // again meanwhile (into the tray at start) has shown nothing, and waits for its next expose.
    QTimer::singleShot(0, this, [this] {
      if (window_.isVisible() && native_ && native_->isExposed()) painted();
    });
  }
  return false;
}

void FirstPaintProbe::painted() {
  if (done_) return;
  done_ = true;
  qCInfo(lcApp) << "first paint";
  window_.removeEventFilter(this);
  if (native_) native_->removeEventFilter(this);
  if (then_) QTimer::singleShot(0, &window_, std::move(then_));
  deleteLater();
}

}  // namespace pimrose
