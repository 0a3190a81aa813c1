#include "app/first_paint_probe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "app/app_log.h"

namespace pimrose {

FirstPaintProbe::FirstPaintProbe(QObject* parent, std::function<void()> then)
    : QObject(parent), then_(std::move(then)) {}

void FirstPaintProbe::watch(QWidget& window, std::function<void()> then) {
  window.installEventFilter(new FirstPaintProbe(&window, std::move(then)));
}

bool FirstPaintProbe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    qCInfo(lcApp) << "first paint";
    watched->removeEventFilter(this);
    if (then_) QTimer::singleShot(0, watched, std::move(then_));
    deleteLater();
  }
  return false;
}

}  // namespace pimrose
