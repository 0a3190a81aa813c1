#include "ui/log_window_controls.h"

#include "ui/message_label.h"
#include "ui/report_list.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

// The member name is the control name, written once.
#define PIMROSE_BIND(member) binder.bind(member, QStringLiteral(#member))

void LogWindowControls::bind(ControlBinder& binder) {
  PIMROSE_BIND(标签_日志反馈);
  PIMROSE_BIND(超级列表框_日志);
  PIMROSE_BIND(窗口EX1);
}

#undef PIMROSE_BIND

}  // namespace pimrose::ui
