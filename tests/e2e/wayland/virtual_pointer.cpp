// Makes a pointer device on a wlroots compositor's seat and keeps it until it is ended. A headless
// compositor started without input devices offers its clients no pointer, so the pointer commands
// of its IPC (swaymsg seat - cursor ...) would reach nobody. Prints "virtual pointer ready".
// Lines on standard input move the device itself, for what the IPC's commands do not drive (a
// window move the compositor runs): "move X Y" (output pixels), "press", "release"; "ok" answers each.
// Usage: pimrose_virtual_pointer WIDTH HEIGHT (the output's size; WAYLAND_DISPLAY names the compositor)
#include <wayland-client.h>

#include <linux/input-event-codes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void withdraw(void*, wl_registry*, uint32_t) {}

}  // namespace

uint32_t now() {
  static uint32_t time = 0;
  return time += 10;
}

void obey(zwlr_virtual_pointer_v1* pointer, const char* line, uint32_t width, uint32_t height) {
  unsigned x = 0;
  unsigned y = 0;
  if (std::sscanf(line, "move %u %u", &x, &y) == 2)
    zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
  else if (std::strncmp(line, "press", 5) == 0)
    zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
  else if (std::strncmp(line, "release", 7) == 0)
    zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
  else
    return;
  zwlr_virtual_pointer_v1_frame(pointer);
}

int main(int argc, char** argv) {
  const uint32_t width = argc > 2 ? uint32_t(std::strtoul(argv[1], nullptr, 10)) : 1;
  const uint32_t height = argc > 2 ? uint32_t(std::strtoul(argv[2], nullptr, 10)) : 1;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "no Wayland display\n");
    return 1;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  const wl_registry_listener listener{announce, withdraw};
  wl_registry_add_listener(registry, &listener, &globals);
  wl_display_roundtrip(display);
  if (!globals.manager) {
    std::fprintf(stderr, "the compositor makes no virtual pointers\n");
    return 1;
  }
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
  wl_display_roundtrip(display);
  std::printf("virtual pointer ready\n");
  std::fflush(stdout);
  char line[128];
  while (std::fgets(line, sizeof line, stdin)) {
    obey(pointer, line, width, height);
    wl_display_roundtrip(display);
    std::printf("ok\n");
    std::fflush(stdout);
  }
  while (wl_display_dispatch(display) != -1) {
  }
  return 0;
}
