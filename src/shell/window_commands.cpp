#include "shell/window_commands.h"

#include <QWidget>
#include <QWindow>

namespace pimrose {

void ShowMainWindow(QWidget& mainWindow) {
  if (mainWindow.isMinimized()) mainWindow.setWindowState(mainWindow.windowState() & ~Qt::WindowMinimized);
  mainWindow.show();
  mainWindow.raise();
  mainWindow.activateWindow();
  if (QWindow* handle = mainWindow.windowHandle()) handle->requestActivate();
}

void ToggleMainWindow(QWidget& mainWindow) {
  if (mainWindow.isVisible() && !mainWindow.isMinimized())
    mainWindow.hide();
  else
    ShowMainWindow(mainWindow);
}

}  // namespace pimrose
