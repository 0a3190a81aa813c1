#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// Replaces the file at `path` with `bytes` in one step: the bytes go to a temporary file beside it,
// which is flushed to disk and then renamed over the old file. Whatever moment the process dies at,
// the path holds either the old contents or the new ones, never a mix.
// - Symbolic links are followed to the end of their chain, so the file the last one points at is
//   replaced and every link stays a link; a link to nothing gets that file made, missing folders
//   included.
// - Only a regular file is replaced, and only one we may write to: a file made read-only is left as
//   it is (even for the superuser, who is refused where no write permission is set at all), as is a
//   FIFO, a device or a folder in its place. An existing file keeps its permissions.
// False when anything failed or was refused; the old file is then untouched.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace pimrose
