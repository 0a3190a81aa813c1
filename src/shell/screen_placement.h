#pragma once

#include <QObject>
#include <QRect>

#include <functional>
#include <vector>

#include "shell/monitor_placement.h"

class QWidget;

namespace pimrose {

// The desktop's screens, described for `window` (Qt's screen list; the full screen rectangles).
std::vector<MonitorRecord> listMonitors(const QWidget& window);

// Whether the compositor places the program's windows (a Wayland session): a client there neither
// knows where its windows are nor can move them.
bool compositorPlacesWindows();

// Maximises a window onto the screen that holds most of it, or restores it, and keeps the box to
// restore. A double-click in the window's top 32 pixels toggles it too. Where the compositor places
// windows, it is asked to maximise the window onto the screen that shows it and to restore it; the
// space of its own panels it keeps clear itself.
class MaximiseToggle : public QObject {
  Q_OBJECT

 public:
  // `keepTaskbarClear` answers whether a maximised window leaves the bottom 40 pixels free.
  MaximiseToggle(QWidget& window, std::function<bool()> keepTaskbarClear,
                 bool compositorPlaces = compositorPlacesWindows());

  void toggleMaximised();
  QRect savedRestoreBox() const { return savedRestoreBox_; }

  static constexpr int kCaptionStrip = 32;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  std::function<bool()> keepTaskbarClear_;
  bool compositorPlaces_;
  QRect savedRestoreBox_;
};

}  // namespace pimrose
