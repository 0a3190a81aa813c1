#include "shell/window_commands.h"

#include <QWidget>
#include <QWindow>

#include "shell/map_without_focus.h"
#include "shell/screen_placement.h"

namespace pimrose {
namespace {

// Qt's xcb platform maps a window that carries this property with a user time of 0, which tells
// the window manager not to give it the focus.
const char* const kShowWithoutActivating = "_q_showWithoutActivating";

void restoreFromMinimised(QWidget& window) {
  if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
}

// Shown and raised with the focus left where it is; the window's own attribute is put back, so a
// later show (a second start) may activate it again.
void showInFront(QWidget& window) {
  const bool quiet = window.testAttribute(Qt::WA_ShowWithoutActivating);
  window.setAttribute(Qt::WA_ShowWithoutActivating);
  QWindow* handle = window.windowHandle();
  const QVariant quietHandle = handle ? handle->property(kShowWithoutActivating) : QVariant();
  if (handle) handle->setProperty(kShowWithoutActivating, true);
  // A window manager takes a minimised window mapped again as one to activate: the window is
  // withdrawn first and mapped as a new one that asks for no focus.
  if (window.isMinimized()) {
    window.hide();
    mapNextWithoutFocus(window.winId());
    restoreFromMinimised(window);
  }
  window.show();
  window.raise();
  if (handle) handle->setProperty(kShowWithoutActivating, quietHandle);
  window.setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}

void activate(QWidget& window) {
  window.activateWindow();
  if (QWindow* handle = window.windowHandle()) handle->requestActivate();
}

}  // namespace

void ShowMainWindow(QWidget& mainWindow) {
  if (compositorPlacesWindows()) return ShowAndActivateMainWindow(mainWindow);
  showInFront(mainWindow);
}

void ShowAndActivateMainWindow(QWidget& mainWindow) {
  restoreFromMinimised(mainWindow);
  mainWindow.show();
  mainWindow.raise();
  activate(mainWindow);
}

void ToggleMainWindow(QWidget& mainWindow) {
  if (mainWindow.isVisible() && !mainWindow.isMinimized())
    mainWindow.hide();
  else
    ShowMainWindow(mainWindow);
}

}  // namespace pimrose
