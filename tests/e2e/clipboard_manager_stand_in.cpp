// A clipboard manager for the end-to-end tests, shaped after xfce4-clipman 1.6: it owns the
// CLIPBOARD_MANAGER selection and, asked to save the clipboard (SAVE_TARGETS), keeps every format
// the owner offers except the first, answers, and serves what it kept once the owner has gone.
// With --silent it is asked and never answers, as that manager does.
// Usage: pimrose_clipboard_manager_stand_in [--silent]
// It prints "ready" once it owns the selection, "asked to save" when asked, "saved NAME..." with the
// formats it kept, and "holding the clipboard" once it serves them. Small formats only (no INCR).
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

xcb_connection_t* connection = nullptr;
xcb_window_t window = XCB_NONE;

xcb_atom_t atom(const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return found;
}

std::string nameOf(xcb_atom_t atom) {
  xcb_get_atom_name_reply_t* reply =
      xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr);
  std::string name =
      reply ? std::string(xcb_get_atom_name_name(reply), size_t(xcb_get_atom_name_name_length(reply)))
            : std::string();
  std::free(reply);
  return name;
}

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// One format of the clipboard owner's, fetched into our window's property and read back.
struct Format {
  xcb_atom_t target = XCB_ATOM_NONE;
  xcb_atom_t type = XCB_ATOM_NONE;
  uint8_t unit = 8;
  std::string bytes;
};

bool fetch(xcb_atom_t target, Format& format) {
  const xcb_atom_t property = atom("PIMROSE_STAND_IN");
  xcb_convert_selection(connection, window, atom("CLIPBOARD"), target, property, XCB_CURRENT_TIME);
  xcb_flush(connection);
  for (;;) {
    xcb_generic_event_t* event = xcb_wait_for_event(connection);
    if (!event) return false;
    const bool answer = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
    const bool got = answer && reinterpret_cast<xcb_selection_notify_event_t*>(event)->property != XCB_NONE;
    std::free(event);
    if (!answer) continue;
    if (!got) return false;
    break;
  }
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 24),
      nullptr);
  if (!reply) return false;
  format.target = target;
  format.type = reply->type;
  format.unit = reply->format;
  format.bytes.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                      size_t(xcb_get_property_value_length(reply)));  // in bytes
  std::free(reply);
  return format.type != atom("INCR");
}

bool isMetaTarget(xcb_atom_t target) {
  for (const char* name : {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE"})
    if (target == atom(name)) return true;
  return false;
}

// Every format the owner offers but the first, as xfce4-clipman keeps them.
std::vector<Format> save() {
  std::vector<Format> kept;
  Format targets;
  if (!fetch(atom("TARGETS"), targets)) return kept;
  std::vector<xcb_atom_t> offered;
  for (size_t at = 0; at + 4 <= targets.bytes.size(); at += 4) {
    xcb_atom_t target = 0;
    std::memcpy(&target, targets.bytes.data() + at, 4);
    if (!isMetaTarget(target)) offered.push_back(target);
  }
  std::string line = "saved";
  for (size_t k = 1; k < offered.size(); ++k) {
    Format format;
    if (!fetch(offered[k], format)) continue;
    line.append(" ").append(nameOf(offered[k]));
    kept.push_back(std::move(format));
  }
  say(line);
  return kept;
}

void notify(const xcb_selection_request_event_t& request, xcb_atom_t property) {
  xcb_selection_notify_event_t answer{};
  answer.response_type = XCB_SELECTION_NOTIFY;
  answer.time = request.time;
  answer.requestor = request.requestor;
  answer.selection = request.selection;
  answer.target = request.target;
  answer.property = property;
  xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&answer));
  xcb_flush(connection);
}

void serve(const xcb_selection_request_event_t& request, const std::vector<Format>& kept) {
  const xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
  if (request.target == atom("TARGETS")) {
    std::vector<xcb_atom_t> targets{atom("TARGETS")};
    for (const Format& format : kept) targets.push_back(format.target);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
                        uint32_t(targets.size()), targets.data());
    notify(request, property);
    return;
  }
  for (const Format& format : kept) {
    if (format.target != request.target) continue;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, format.type,
                        format.unit, uint32_t(format.bytes.size() / (format.unit / 8)), format.bytes.data());
    notify(request, property);
    return;
  }
  notify(request, XCB_NONE);
}

xcb_window_t clipboardOwner() {
  xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, atom("CLIPBOARD")), nullptr);
  const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
  std::free(reply);
  return owner;
}

}  // namespace

int main(int argc, char** argv) {
  const bool silent = argc > 1 && std::strcmp(argv[1], "--silent") == 0;
  connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) return 2;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  window = xcb_generate_id(connection);
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
  xcb_set_selection_owner(connection, window, atom("CLIPBOARD_MANAGER"), XCB_CURRENT_TIME);
  xcb_flush(connection);
  say("ready");
  std::vector<Format> kept;
  bool holding = false;
  for (;;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
      if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
        const auto request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
        if (request.selection == atom("CLIPBOARD_MANAGER") && request.target == atom("SAVE_TARGETS")) {
          say("asked to save");
          if (!silent) {
            kept = save();
            notify(request, request.property != XCB_NONE ? request.property : request.target);
          }
        } else if (request.selection == atom("CLIPBOARD") && holding) {
          serve(request, kept);
        } else {
          notify(request, XCB_NONE);
        }
      }
      std::free(event);
    }
    if (xcb_connection_has_error(connection)) return 1;
    // Once the owner has gone, its clipboard is ours to serve.
    if (!holding && !kept.empty() && clipboardOwner() == XCB_NONE) {
      xcb_set_selection_owner(connection, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
      xcb_flush(connection);
      holding = true;
      say("holding the clipboard");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
