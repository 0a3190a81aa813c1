#pragma once

#include <QObject>

namespace pimrose {

// Writes one log line, "first paint", when the watched window is painted for the first time, and
// then lets go of it. Start-up is timed from the process start to that line.
class FirstPaintProbe : public QObject {
  Q_OBJECT

 public:
  // Watches `window`; the probe is a child of it and goes with it.
  static void watch(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace pimrose
