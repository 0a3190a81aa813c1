#include "ui/text_popup_window_controls.h"

#include "ui/text_label.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

// The member name is the control name, written once.
#define PIMROSE_BIND(member) binder.bind(member, QStringLiteral(#member))

void TextPopupWindowControls::bind(ControlBinder& binder) {
  PIMROSE_BIND(标签文本);
  PIMROSE_BIND(窗口EX1);
}

#undef PIMROSE_BIND

}  // namespace pimrose::ui
