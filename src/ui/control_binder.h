#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace pimrose::ui {

class Window;

// Fills a window's typed control struct from its loaded controls, collecting every name that is
// missing or of another class instead of stopping at the first.
class ControlBinder {
 public:
  explicit ControlBinder(const Window& window) : window_(window) {}

  template <class T>
  void bind(T*& slot, const QString& name) {
    slot = qobject_cast<T*>(find(name));
    if (!slot) failed_.push_back(name + QLatin1Char(':') + QLatin1String(T::staticMetaObject.className()));
  }

  // "name:ExpectedClass" for every control that could not be bound.
  const QStringList& failed() const { return failed_; }

 private:
  QObject* find(const QString& name) const;

  const Window& window_;
  QStringList failed_;
};

// Binds every member of `controls`; answers the failures (empty when the window matches).
template <class Controls>
QStringList bindControls(const Window& window, Controls& controls) {
  ControlBinder binder(window);
  controls.bind(binder);
  return binder.failed();
}

[[noreturn]] void controlsDoNotMatch(const Window& window, const QStringList& failed);

// The typed controls of a loaded window. A window whose table does not match its struct is a
// programming error: the program stops here, when the window loads, naming every mismatch.
template <class Controls>
Controls resolveControls(const Window& window) {
  Controls controls;
  const QStringList failed = bindControls(window, controls);
  if (!failed.isEmpty()) controlsDoNotMatch(window, failed);
  return controls;
}

}  // namespace pimrose::ui
