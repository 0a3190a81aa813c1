#pragma once

#include <QObject>

#include <functional>

#include "ui/main_window_controls.h"

namespace pimrose {

namespace ui {
class Window;
}  // namespace ui

// The main window's own gestures: the settings button switching pages, dragging the window by the
// prompt panel, sizing it from the grip, its size limits, closing the viewer, keeping the log
// window centred, and the skin choice.
class MainWindowHandlers : public QObject {
  Q_OBJECT

 public:
  using SkinChoice = std::function<void(int skinIndex)>;

  // The log window, or null while it is not built.
  using LogWindow = std::function<ui::Window*()>;

  MainWindowHandlers(ui::Window& mainWindow, const ui::MainWindowControls& controls, LogWindow logWindow,
                     SkinChoice chooseSkin);

  // Places the log window (when built) at the centre of the main window's pages.
  void centreLogWindow();

  static constexpr int kMaximumExtent = 9999;

 private:
  void onSettingsButton();

  ui::Window& window_;
  ui::MainWindowControls ui_;
  LogWindow logWindow_;
};

}  // namespace pimrose
