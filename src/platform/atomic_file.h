#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// Replaces the file at `path` with `bytes` in one step: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old file. Whatever moment the process dies at,
// the path holds either the old contents or the new ones, never a mix. A symbolic link is followed,
// so the file it points at is replaced; an existing file keeps its permissions. Missing folders are
// created. False when anything failed; the old file is then untouched.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace pimrose
