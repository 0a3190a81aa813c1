#pragma once

#include "ui/control_binder.h"

namespace pimrose::ui {

class PictureBox;
class TextLabel;
class Timer;
class WindowSkin;

// Every control of the taskbar widget, resolved once when the window has loaded. Members are named
// after the controls, so a name in a handler is checked by the compiler.
struct TaskbarWidgetControls {
  PictureBox* 图片框_容器 = nullptr;
  TextLabel* 标签_信息下 = nullptr;
  TextLabel* 标签_信息上 = nullptr;
  Timer* 任务栏_刷新信息 = nullptr;
  Timer* 任务栏_刷新位置 = nullptr;
  WindowSkin* 窗口EX1 = nullptr;

  void bind(ControlBinder& binder);
};

}  // namespace pimrose::ui
