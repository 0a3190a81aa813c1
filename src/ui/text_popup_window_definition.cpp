#include "ui/window_definition.h"

namespace pimrose::ui {

// The pointer-tip window: one text, placed and sized by the program.
const WindowDefinition& textPopupWindowDefinition() {
  using C = ControlClass;
  static const WindowDefinition definition{
      .name = "TextPopupWindow",
      .rect = {50, 50, 195, 111},
      .controls =
          {
              {"标签文本", C::LabelEx, {24, 32, 150, 64}, {}, {.font = "宋体", .wordWrap = true}},
              {"窗口EX1", C::WindowEx, {4, 4, 24, 24}, {}, {.skin = "默认窗口皮肤"}},
          },
  };
  return definition;
}

}  // namespace pimrose::ui
