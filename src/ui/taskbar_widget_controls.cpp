#include "ui/taskbar_widget_controls.h"

#include "ui/picture_box.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

// The member name is the control name, written once.
#define PIMROSE_BIND(member) binder.bind(member, QStringLiteral(#member))

void TaskbarWidgetControls::bind(ControlBinder& binder) {
  PIMROSE_BIND(图片框_容器);
  PIMROSE_BIND(标签_信息下);
  PIMROSE_BIND(标签_信息上);
  PIMROSE_BIND(任务栏_刷新信息);
  PIMROSE_BIND(任务栏_刷新位置);
  PIMROSE_BIND(窗口EX1);
}

#undef PIMROSE_BIND

}  // namespace pimrose::ui
