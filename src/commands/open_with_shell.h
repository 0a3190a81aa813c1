#pragma once

#include <QString>

namespace pimrose {

class Errands;

// Opens the file with the desktop's handler for its type (QDesktopServices, which runs xdg-open).
//
// False only when the file does not exist; a handler that fails to start is not reported, as the
// launcher only says whether it could be started, not whether the file opened.
//
// There are no show modes and no parameters: xdg-open takes a URL and nothing else, and the opened
// program places its own window. Every caller asked for a normally shown window anyway.
bool OpenWithShell(const QString& path);

// The same, for the UI thread: the file is looked up by one of `errands` (a slow or hung disk must
// not freeze the window) and handed to the desktop's handler back on the UI thread, unless `errands`
// has gone by then. A missing file is only logged.
void openWithShellInBackground(Errands& errands, const QString& path);

}  // namespace pimrose
