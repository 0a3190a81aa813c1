#pragma once

#include <QObject>

#include <functional>

#include "ui/float_window_controls.h"

namespace pimrose::ui {
class CheckBox;
class Window;
}  // namespace pimrose::ui

namespace pimrose {

// The floating icon: the 48 x 48 logo on a transparent background, above other windows, with no
// taskbar entry, never taking the keyboard focus. A left press anywhere drags it (it stays where it
// is dropped; nothing stores the place, so each run starts it at the top-left corner); a
// double-click toggles the main window; a right press opens the floating menu.
//
// In a Wayland session the compositor places the window where it puts new windows (a client cannot
// place itself) and decides whether it stays above others; dragging moves it through the compositor.
//
// It is shown exactly while the option box "show the floating icon" is checked: the box's change
// shows or hides it as the change is about to happen, and hideFloat() clears the box.
class FloatWindow : public QObject {
  Q_OBJECT

 public:
  struct Actions {
    std::function<void()> toggleMainWindow;
    std::function<void()> popUpFloatMenu;  // "显示程序", "隐藏悬浮", "重启程序", "退出程序" at the pointer
  };

  FloatWindow(ui::Window& window, const ui::FloatWindowControls& controls, ui::CheckBox& showBox,
              Actions actions);

  // Start-up, once the settings are in the box: show the window when the box is checked.
  void applyOption();
  // The floating menu's "隐藏悬浮": hides the window and clears the box.
  void hideFloat();

  ui::Window& window() const { return window_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void dressWindow();
  void connectGestures();

  ui::Window& window_;
  ui::CheckBox& showBox_;
  ui::FloatWindowControls controls_;
  Actions actions_;
};

}  // namespace pimrose
