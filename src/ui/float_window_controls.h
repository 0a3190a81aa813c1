#pragma once

#include "ui/control_binder.h"

namespace pimrose::ui {

class PictureBox;
class WindowSkin;

// Every control of the floating icon window, resolved once when the window has loaded. Members are named
// after the controls, so a name in a handler is checked by the compiler.
struct FloatWindowControls {
  PictureBox* 图片框_icon = nullptr;
  WindowSkin* 窗口EX1 = nullptr;

  void bind(ControlBinder& binder);
};

}  // namespace pimrose::ui
