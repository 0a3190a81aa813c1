#include "shell/monitor_placement.h"

#include <algorithm>
#include <cstdlib>

namespace pimrose {
namespace {

qint64 area(const QRect& box) {
  return box.isEmpty() ? 0 : qint64(box.width()) * box.height();
}

// Distance from a point to a rectangle, as the larger of the two axis gaps (0 inside).
int gapTo(const QRect& screen, const QPoint& point) {
  const int dx = std::max({screen.left() - point.x(), 0, point.x() - screen.right()});
  const int dy = std::max({screen.top() - point.y(), 0, point.y() - screen.bottom()});
  return std::max(dx, dy);
}

int nearestTo(const std::vector<QRect>& screens, const QPoint& point) {
  int best = -1;
  for (int i = 0; i < int(screens.size()); ++i)
    if (best < 0 || gapTo(screens[i], point) < gapTo(screens[best], point)) best = i;
  return best;
}

MonitorRecord recordOf(const QRect& screen) {
  MonitorRecord record;
  record.left = screen.left();
  record.top = screen.top();
  record.width = screen.width();
  record.height = screen.height();
  record.right = record.left + record.width;
  record.bottom = record.top + record.height;
  return record;
}

}  // namespace

int screenHolding(const std::vector<QRect>& screens, const QRect& box) {
  int best = -1;
  qint64 bestArea = 0;
  for (int i = 0; i < int(screens.size()); ++i) {
    const qint64 shared = area(screens[i] & box);
    if (shared > bestArea) best = i, bestArea = shared;
  }
  return best >= 0 ? best : nearestTo(screens, box.center());
}

std::vector<MonitorRecord> listMonitors(const std::vector<QRect>& screens, int primaryIndex,
                                        const QRect& window) {
  const int holding = screenHolding(screens, window);
  const int origin = nearestTo(screens, QPoint(0, 0));
  std::vector<MonitorRecord> records;
  for (int i = 0; i < int(screens.size()); ++i) {
    MonitorRecord record = recordOf(screens[i]);
    record.isPrimary = i == primaryIndex;
    record.holdsWindow = record.holdsWindowRect = i == holding;
    record.holdsOrigin = i == origin;
    records.push_back(record);
  }
  if (holding >= 0) records.front().windowMonitorIndex = holding + 1;
  return records;
}

QRect toggleMaximised(const QRect& window, const std::vector<MonitorRecord>& monitors, int reserve,
                      QRect& savedRestoreBox, QSize minimum) {
  for (const MonitorRecord& monitor : monitors) {
    if (!monitor.holdsWindow) continue;
    const QRect maximised(QPoint(monitor.left, monitor.top),
                          QSize(monitor.width, monitor.height - reserve).expandedTo(minimum));
    if (window.size() == maximised.size()) return savedRestoreBox.isEmpty() ? window : savedRestoreBox;
    savedRestoreBox = window;
    return maximised;
  }
  return window;
}

}  // namespace pimrose
