#pragma once

namespace pimrose {

// The tray Qt's icon talks to. Qt decides once per process, when its first tray icon is made: a
// StatusNotifierItem watcher with a host registered on the session bus then, or else the XEmbed tray
// (which exists only on X11: in a Wayland session without a watcher at start no icon is ever shown,
// even when a watcher comes later).
enum class TrayKind { Notifier, XEmbed };

// What Qt would decide now; ask it right before the first tray icon is made.
TrayKind trayKindNow();

// Whether a tray host of `kind` holds icons now: the StatusNotifierItem watcher runs on the session
// bus, or an XEmbed tray owns the screen's tray selection. Asked afresh each time: Qt's own answer is
// cached and can lag behind a host that came or went by many seconds.
bool trayHostPresent(TrayKind kind);

}  // namespace pimrose
