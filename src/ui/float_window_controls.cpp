#include "ui/float_window_controls.h"

#include "ui/picture_box.h"
#include "ui/window_skin.h"

namespace pimrose::ui {

// The member name is the control name, written once.
#define PIMROSE_BIND(member) binder.bind(member, QStringLiteral(#member))

void FloatWindowControls::bind(ControlBinder& binder) {
  PIMROSE_BIND(图片框_icon);
  PIMROSE_BIND(窗口EX1);
}

#undef PIMROSE_BIND

}  // namespace pimrose::ui
