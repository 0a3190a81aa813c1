#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// The whole file in one read; empty (with `error` set) for a missing file, a directory, an
// unreadable or an empty file.
QByteArray readFileBytes(const QString& path, QString* error = nullptr);

// At most the first `limit` bytes, for questions the header answers. `complete` tells whether
// that was the whole file.
QByteArray readFileStart(const QString& path, qint64 limit, bool* complete, QString* error = nullptr);

}  // namespace pimrose
