#include "shell/map_without_focus.h"

#ifdef PIMROSE_HAVE_XCB
#include <algorithm>

#include "shell/xcb_session.h"
#endif

namespace pimrose {

#ifdef PIMROSE_HAVE_XCB
namespace {

// Qt keeps the user time on a window of its own, named by the client window's
// _NET_WM_USER_TIME_WINDOW; the window manager reads it there.
xcb_window_t userTimeWindow(xcb_connection_t* c, xcb_window_t window) {
  const xcb_atom_t named = xcb::knownAtom(c, "_NET_WM_USER_TIME_WINDOW");
  if (named == XCB_ATOM_NONE) return window;
  xcb::Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, named, XCB_ATOM_WINDOW, 0, 1), nullptr),
      &std::free);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) return window;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

// WM_HINTS: flags, input, initial state, and six fields more (ICCCM 4.1.2.4).
constexpr int kHintFields = 9;
constexpr uint32_t kStateHint = 1u << 1;
constexpr uint32_t kNormalState = 1;

// A window minimised while hidden was mapped asking to start minimised; mapped again with that
// hint it would be managed minimised once more.
void askForNormalState(xcb_connection_t* c, xcb_window_t window) {
  uint32_t hints[kHintFields] = {};
  xcb::Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(
          c, xcb_get_property(c, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintFields), nullptr),
      &std::free);
  if (reply && reply->format == 32) {
    const int fields = std::min(kHintFields, xcb_get_property_value_length(reply.get()) / 4);
    std::memcpy(hints, xcb_get_property_value(reply.get()), size_t(fields) * 4);
  }
  hints[0] |= kStateHint;
  hints[2] = kNormalState;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kHintFields,
                      hints);
}

}  // namespace

void mapNextWithoutFocus(WId window) {
  xcb_connection_t* c = xcb::connection();
  const xcb_atom_t userTime = c ? xcb::knownAtom(c, "_NET_WM_USER_TIME") : xcb_atom_t(XCB_ATOM_NONE);
  if (userTime == XCB_ATOM_NONE || window == 0) return;
  const uint32_t never = 0;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, userTimeWindow(c, xcb_window_t(window)), userTime,
                      XCB_ATOM_CARDINAL, 32, 1, &never);
  askForNormalState(c, xcb_window_t(window));
  xcb_flush(c);
}

#else

void mapNextWithoutFocus(WId) {}

#endif

}  // namespace pimrose
