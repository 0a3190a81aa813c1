#pragma once

#include <QString>

// The icon cache's bound (icon_cache.h), enforced on its folder.

namespace pimrose {

// Deletes the least recently used entries (oldest file time first) in the width folders under
// `root` while they take more than `limit` bytes, down to `target`; answers the bytes that are left.
// Only entry files (and the temporary files of their writes) directly inside a width folder are
// looked at, and symbolic links are never followed: nothing outside the folder is touched.
qint64 trimIconFolder(const QString& root, qint64 limit, qint64 target);

}  // namespace pimrose
