#pragma once

#include "ui/control_binder.h"

namespace pimrose::ui {

class MessageLabel;
class ReportList;
class WindowSkin;

// Every control of the log window, resolved once when the window has loaded. Members are named
// after the controls, so a name in a handler is checked by the compiler.
struct LogWindowControls {
  MessageLabel* 标签_日志反馈 = nullptr;
  ReportList* 超级列表框_日志 = nullptr;
  WindowSkin* 窗口EX1 = nullptr;

  void bind(ControlBinder& binder);
};

}  // namespace pimrose::ui
