#pragma once

#include <chrono>

// What the program holds on the clipboard, handed to a clipboard manager before the program ends.
//
// On X11 a clipboard manager (the owner of the CLIPBOARD_MANAGER selection) saves the clipboard
// when asked to convert SAVE_TARGETS, and answers once it has. Qt asks it while the application
// object is destroyed and then waits up to five seconds for that answer; a manager that took the
// clipboard when it changed and never answers (xfce4-clipman) made every exit after a copy take
// five seconds. handOverClipboard asks instead, serving the manager's requests through the event
// loop meanwhile, waits at most `limit` for the answer, then lets go of the clipboard so that Qt
// has nothing left to hand over. With nothing held, no manager running or no X11 it does nothing.
// Call it once the windows are gone, just before the application object goes.

namespace pimrose {

enum class ClipboardHandOver { NothingHeld, NoManager, Saved, Refused, NoAnswer };

ClipboardHandOver handOverClipboard(std::chrono::milliseconds limit);

}  // namespace pimrose
