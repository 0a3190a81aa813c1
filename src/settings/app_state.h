#pragma once

namespace pimrose {

// The main window's process-wide state, all zero at start. Fields belong to the features that use
// them; this record only gathers them.
struct AppState {
  bool taskbarWidgetEnabled = false;  // nothing switches the taskbar widget on
  bool tipsOff = false;               // copy of `选择框_关闭提示`
  int skinIndex = 0;                  // 0 "黑色", 1 "白色", as the skin box and every window count
  int promptAnswer = 0;
  int fileMenuItem = 0;
};

}  // namespace pimrose
