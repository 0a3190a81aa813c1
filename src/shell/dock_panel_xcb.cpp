#include "shell/dock_panel.h"

#ifdef PIMROSE_HAVE_XCB
#include <vector>

#include "shell/xcb_session.h"
#endif

namespace pimrose {

#ifdef PIMROSE_HAVE_XCB
namespace {

using xcb::Reply;

std::vector<xcb_window_t> windowList(xcb_connection_t* c, xcb_window_t root, xcb_atom_t clientList) {
  std::vector<xcb_window_t> windows;
  Reply<xcb_get_property_reply_t> listed(
      xcb_get_property_reply(c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, 4096), nullptr),
      &std::free);
  if (listed && listed->format == 32) {
    const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(listed.get()));
    windows.assign(ids, ids + xcb_get_property_value_length(listed.get()) / 4);
  }
  // Docks that no window manager lists are children of the root window.
  Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &std::free);
  if (tree) {
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
  }
  return windows;
}

bool isDock(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, xcb_atom_t dock) {
  Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, type, XCB_ATOM_ATOM, 0, 32), nullptr),
      &std::free);
  if (!reply || reply->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  for (int i = 0; i < count; ++i)
    if (atoms[i] == dock) return true;
  return false;
}

std::optional<QRect> screenBox(xcb_connection_t* c, xcb_window_t window, xcb_window_t root) {
  Reply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &std::free);
  if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) return std::nullopt;
  Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                           &std::free);
  Reply<xcb_translate_coordinates_reply_t> origin(
      xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr),
      &std::free);
  if (!geometry || !origin) return std::nullopt;
  return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

}  // namespace

std::optional<QRect> findDockPanel() {
  xcb_connection_t* c = xcb::connection();
  if (!c) return std::nullopt;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t type = xcb::knownAtom(c, "_NET_WM_WINDOW_TYPE");
  const xcb_atom_t dock = xcb::knownAtom(c, "_NET_WM_WINDOW_TYPE_DOCK");
  if (type == XCB_ATOM_NONE || dock == XCB_ATOM_NONE) return std::nullopt;
  for (xcb_window_t window : windowList(c, root, xcb::knownAtom(c, "_NET_CLIENT_LIST")))
    if (isDock(c, window, type, dock))
      if (std::optional<QRect> box = screenBox(c, window, root)) return box;
  return std::nullopt;
}

#else

std::optional<QRect> findDockPanel() {
  return std::nullopt;
}

#endif

}  // namespace pimrose
