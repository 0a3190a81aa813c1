#pragma once

// The shell's few direct X11 requests go over the connection Qt holds. Include only where
// PIMROSE_HAVE_XCB is defined.

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace pimrose::xcb {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Qt's connection to the X server; nullptr outside an X11 session.
inline xcb_connection_t* connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// An atom the server already knows; XCB_ATOM_NONE when it knows none of that name.
inline xcb_atom_t knownAtom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

}  // namespace pimrose::xcb
