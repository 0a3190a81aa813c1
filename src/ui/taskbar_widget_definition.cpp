#include "ui/window_definition.h"

namespace pimrose::ui {

// Two status lines in a 40-pixel holder; they overlap by 8 pixels as drawn.
const WindowDefinition& taskbarWidgetDefinition() {
  using C = ControlClass;
  static const WindowDefinition definition{
      .name = "TaskbarWidget",
      .rect = {50, 50, 380, 65},
      .controls =
          {
              {"图片框_容器", C::PictureBoxEx, {40, 8, 208, 40}, {}},
              {"标签_信息下",
               C::LabelEx,
               {0, 16, 208, 24},
               "图片框_容器",
               {.text = "初始化", .font = "微软雅黑"}},
              {"标签_信息上",
               C::LabelEx,
               {0, 0, 208, 24},
               "图片框_容器",
               {.text = "初始化", .font = "微软雅黑"}},
              {"任务栏_刷新信息", C::Timer, {}, {}, {.interval = 1000}},
              {"任务栏_刷新位置", C::Timer, {}, {}, {.interval = 0}},
              {"窗口EX1", C::WindowEx, {4, 4, 24, 24}, {}, {.skin = "默认窗口皮肤"}},
          },
  };
  return definition;
}

}  // namespace pimrose::ui
