// Makes a pointer device on a wlroots compositor's seat and keeps it until it is ended. A headless
// compositor started without input devices offers its clients no pointer, so the pointer commands
// of its IPC (swaymsg seat - cursor ...) would reach nobody. Prints "virtual pointer ready".
// Usage: pimrose_virtual_pointer (WAYLAND_DISPLAY names the compositor)
#include <wayland-client.h>

#include <cstdio>
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

int main() {
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
  zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
  wl_display_roundtrip(display);
  std::printf("virtual pointer ready\n");
  std::fflush(stdout);
  while (wl_display_dispatch(display) != -1) {
  }
  return 0;
}
