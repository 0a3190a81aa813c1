#include "app/first_paint_probe.h"

#include <QEvent>
#include <QWidget>

#include "app/app_log.h"

namespace pimrose {

void FirstPaintProbe::watch(QWidget& window) {
  window.installEventFilter(new FirstPaintProbe(&window));
}

bool FirstPaintProbe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    qCInfo(lcApp) << "first paint";
    watched->removeEventFilter(this);
    deleteLater();
  }
  return false;
}

}  // namespace pimrose
