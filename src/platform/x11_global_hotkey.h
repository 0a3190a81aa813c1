#pragma once

#include <memory>

#include "platform/global_hotkey.h"

namespace pimrose {

// Hotkeys as passive key grabs on the X11 root window, made on Qt's own xcb connection for the bare
// combination and its NumLock and CapsLock variants, so the key works whatever the lock state. A
// combination another client already grabbed is refused by the server (BadAccess): the registration
// fails and nothing of it is kept. nullptr when the application does not run on X11.
std::unique_ptr<GlobalHotkey> makeX11GlobalHotkey();

// The application runs on X11 and its server is XWayland: the server announces its XWAYLAND
// extension (newer servers) or names its outputs XWAYLAND<n>, or the environment names a Wayland
// display beside the X11 one. A root grab there hears keys only while an X11 window has the focus.
bool runsOnXWayland();

}  // namespace pimrose
