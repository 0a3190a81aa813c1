#include "ui/window_definition.h"

namespace pimrose::ui {

// A list of log lines; the program moves the list itself when the window changes size.
const WindowDefinition& logWindowDefinition() {
  using C = ControlClass;
  static const WindowDefinition definition{
      .name = "LogWindow",
      .rect = {50, 50, 600, 400},
      .caption = "日志",
      .controls =
          {
              {"标签_日志反馈", C::Label, {16, 216, 80, 24}, {}},
              {"超级列表框_日志", C::SuperListboxEx, {16, 40, 328, 168}, {}},
              {"窗口EX1", C::WindowEx, {4, 4, 24, 24}, {}, {.skin = "默认窗口皮肤", .windowFrame = true}},
          },
  };
  return definition;
}

}  // namespace pimrose::ui
