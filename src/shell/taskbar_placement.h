#pragma once

#include <QRect>

namespace pimrose {

// Where the taskbar widget and the panel's list of running programs go, in the panel's own
// coordinates: the list starts at the panel's left edge and ends where the widget begins; the
// widget sits flush with the right edge, 3 pixels below the top, as high as the panel.
struct TaskbarPlacement {
  QRect taskList;
  QRect widget;
};

// `trayBox` is the whole panel, `bandBox` the part that holds the buttons (the same window on a
// freedesktop panel); `widgetWidth` the widget's current width, `holderWidth` its holder's.
TaskbarPlacement placeWidget(const QRect& trayBox, const QRect& bandBox, int widgetWidth, int holderWidth);

}  // namespace pimrose
