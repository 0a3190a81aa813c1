#pragma once

#include <QString>

namespace pimrose {

// Start with the desktop session: an XDG autostart entry whose Exec line starts `program`.
// True only when the entry exists and points at this very program.
bool autostartEntryExists(const QString& entryFile, const QString& program);

}  // namespace pimrose
