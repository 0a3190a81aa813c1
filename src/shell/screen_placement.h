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

// Maximises a window onto the screen that holds most of it, or restores it, and keeps the box to
// restore. A double-click in the window's top 32 pixels toggles it too.
class MaximiseToggle : public QObject {
  Q_OBJECT

 public:
  // `keepTaskbarClear` answers whether a maximised window leaves the bottom 40 pixels free.
  MaximiseToggle(QWidget& window, std::function<bool()> keepTaskbarClear);

  void toggleMaximised();
  QRect savedRestoreBox() const { return savedRestoreBox_; }

  static constexpr int kCaptionStrip = 32;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  std::function<bool()> keepTaskbarClear_;
  QRect savedRestoreBox_;
};

}  // namespace pimrose
