#pragma once

#include <QString>

namespace pimrose {

// The size in bytes of the file at `path` (a symbolic link is followed); 0 when there is no such file
// and for a folder.
qint64 FileSizeOf(const QString& path);

}  // namespace pimrose
