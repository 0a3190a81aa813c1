#include "ui/window_definition.h"

namespace pimrose::ui {

// The floating icon: one picture covering the whole window.
const WindowDefinition& floatWindowDefinition() {
  using C = ControlClass;
  static const WindowDefinition definition{
      .name = "FloatWindow",
      .rect = {0, 0, 48, 48},
      .controls =
          {
              {"图片框_icon", C::PictureBoxEx, {0, 0, 48, 48}, {}, {.image = ":/pimrose/logo.png"}},
              {"窗口EX1", C::WindowEx, {4, 4, 24, 24}, {}, {.skin = "默认窗口皮肤"}},
          },
  };
  return definition;
}

}  // namespace pimrose::ui
