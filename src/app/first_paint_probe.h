#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;
class QWindow;

namespace pimrose {

// Writes one log line, "first paint", when the watched window is painted for the first time, runs
// `then` once that paint is over (from the event loop), and lets go of the window. Start-up is
// timed from the process start to that line; work the first picture does not need waits for it.
class FirstPaintProbe : public QObject {
  Q_OBJECT

 public:
  // Watches `window`; the probe is a child of it and goes with it.
  static void watch(QWidget& window, std::function<void()> then = {});

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FirstPaintProbe(QWidget& window, std::function<void()> then);
  void watchNativeWindow();
  void painted();

  QWidget& window_;
  QPointer<QWindow> native_;
  std::function<void()> then_;
  bool done_ = false;
};

}  // namespace pimrose
