#pragma once

#include <QWindow>

namespace pimrose {

// Marks a withdrawn X11 window so that the window manager, when the window is mapped next, shows
// it as a normal window (not minimised) and does not give it the focus (a user time of 0, on the
// window that carries the user time). Without an X11 connection it does nothing.
void mapNextWithoutFocus(WId window);

}  // namespace pimrose
