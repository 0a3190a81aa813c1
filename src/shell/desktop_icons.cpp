#include "shell/desktop_icons.h"

#include "shell/shell_log.h"

namespace pimrose {

DesktopWindows findDesktopWindows() {
  return {};
}

void toggleDesktopIcons() {
  const DesktopWindows desktop = findDesktopWindows();
  if (desktop.folderView == 0) qCDebug(lcShell) << "no desktop icon view to switch";
}

}  // namespace pimrose
