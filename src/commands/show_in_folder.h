#pragma once

#include <QString>

namespace pimrose {

class FileManager;

// Shows the file selected in the user's file manager (falling back to opening its folder, see
// FileManager). False when nothing exists at `path`; true once the request is on its way.
//
// `userTime` is the X server time of the gesture that asked (0 when unknown): it goes into the
// startup id so the window manager lets the file manager's window take the focus.
bool ShowInFolder(const QString& path, FileManager& fileManager, unsigned userTime = 0);

// The second half of ShowInFolder, for a path already found to exist (off the UI thread, as the
// look-up may wait on a slow disk): asks the file manager, touching no file.
void askToShowInFolder(const QString& path, FileManager& fileManager, unsigned userTime = 0);

// A freedesktop startup-notification id unique to this process and request.
QString makeStartupId(qint64 pid, const QString& host, int request, unsigned userTime);

}  // namespace pimrose
