#pragma once

#include "ui/control_binder.h"

namespace pimrose::ui {

class TextLabel;
class WindowSkin;

// Every control of the pointer-tip window, resolved once when the window has loaded. Members are named
// after the controls, so a name in a handler is checked by the compiler.
struct TextPopupWindowControls {
  TextLabel* 标签文本 = nullptr;
  WindowSkin* 窗口EX1 = nullptr;

  void bind(ControlBinder& binder);
};

}  // namespace pimrose::ui
