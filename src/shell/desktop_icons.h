#pragma once

namespace pimrose {

// The desktop's icon view, found afresh on every switch. A freedesktop desktop has no icon window
// another program may hide (a file manager draws the icons, if anything does), so the search finds
// nothing and the switch changes nothing; no message is given.
struct DesktopWindows {
  unsigned long folderView = 0;
};

DesktopWindows findDesktopWindows();

// Hides the desktop's icons when they show, shows them when hidden; nothing without an icon view.
void toggleDesktopIcons();

}  // namespace pimrose
