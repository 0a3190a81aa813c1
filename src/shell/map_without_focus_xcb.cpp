#include "shell/map_without_focus.h"

#include <QGuiApplication>

#ifdef PIMROSE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace pimrose {

#ifdef PIMROSE_HAVE_XCB
namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Qt keeps the user time on a window of its own, named by the client window's
// _NET_WM_USER_TIME_WINDOW; the window manager reads it there.
xcb_window_t userTimeWindow(xcb_connection_t* c, xcb_window_t window) {
  Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(
          c, xcb_get_property(c, 0, window, atom(c, "_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
          nullptr),
      &std::free);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) return window;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

}  // namespace

void mapNextWithoutFocus(WId window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || window == 0) return;
  const uint32_t never = 0;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, userTimeWindow(c, xcb_window_t(window)),
                      atom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &never);
  xcb_flush(c);
}

#else

void mapNextWithoutFocus(WId) {}

#endif

}  // namespace pimrose
