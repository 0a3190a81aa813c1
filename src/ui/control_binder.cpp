#include "ui/control_binder.h"

#include "ui/window.h"

namespace pimrose::ui {

QObject* ControlBinder::find(const QString& name) const {
  return window_.findControl(name);
}

void controlsDoNotMatch(const Window& window, const QStringList& failed) {
  qFatal("ui: window %s lacks controls %s", qUtf8Printable(window.name()),
         qUtf8Printable(failed.join(QStringLiteral(", "))));
}

}  // namespace pimrose::ui
