#pragma once

#include <QWindow>

namespace pimrose {

// Marks an X11 window so that the window manager does not give it the focus when it is mapped
// next (a user time of 0, on the window that carries the user time). Without an X11 connection it
// does nothing.
void mapNextWithoutFocus(WId window);

}  // namespace pimrose
