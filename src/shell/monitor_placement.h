#pragma once

#include <QRect>

#include <vector>

namespace pimrose {

// One display, as the maximise toggle sees it: the full screen rectangle (the work area is not
// used), and which of the screens holds the reference window.
struct MonitorRecord {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
  int width = 0;
  int height = 0;
  bool isPrimary = false;
  bool holdsWindow = false;      // the screen that holds most of the window, else the nearest
  bool holdsOrigin = false;      // the screen that holds the point (0, 0), else the nearest
  bool holdsWindowRect = false;  // same rule as holdsWindow
  int windowMonitorIndex = 0;    // first record only: the 1-based position of the holdsWindow record
};

// The screens (full rectangles, in the system's order) described for a window with box `window`.
std::vector<MonitorRecord> listMonitors(const std::vector<QRect>& screens, int primaryIndex,
                                        const QRect& window);

// The index of the screen holding most of `box`; when it overlaps none, the nearest; -1 without screens.
int screenHolding(const std::vector<QRect>& screens, const QRect& box);

// Pixels kept free at the bottom of a maximised window when the taskbar is to stay uncovered.
constexpr int kMaximiseReserve = 40;

// The new box of a window toggled between maximised and restored. A maximise gives the window its
// screen less `reserve` pixels at the bottom, grown to the window's `minimum` size where the screen
// is smaller than that: the box the window really gets. A window of exactly that size counts as
// maximised and goes back to `savedRestoreBox`; any other box is saved there and the window is
// maximised. With nothing saved yet (an empty box), a maximised-looking window stays as it is.
QRect toggleMaximised(const QRect& window, const std::vector<MonitorRecord>& monitors, int reserve,
                      QRect& savedRestoreBox, QSize minimum = {});

}  // namespace pimrose
