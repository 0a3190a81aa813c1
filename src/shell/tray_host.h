#pragma once

namespace pimrose {

// Whether a tray host holds icons now: an XEmbed tray owns the screen's tray selection, or a
// StatusNotifierItem watcher runs on the session bus. Both are asked afresh each time: Qt's own
// answer is cached and can lag behind a host that came or went by many seconds.
bool trayHostPresent();

}  // namespace pimrose
