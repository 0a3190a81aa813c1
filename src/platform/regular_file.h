#pragma once

#include <QByteArray>
#include <QString>

namespace pimrose {

// What reading a whole file found.
struct FileRead {
  enum class Outcome {
    Read,     // `bytes` holds the file
    Missing,  // nothing is there (a link to nothing included)
    Refused,  // something is there that is not read: see readRegularFile
  };
  Outcome outcome = Outcome::Missing;
  QByteArray bytes;
};

// Reads a whole regular file of at most `maxBytes`, through any links. Anything else in its place is
// refused unopened or unread: a FIFO (which would wait for a writer for ever), a device (/dev/zero
// never ends), a folder, a file above `maxBytes` or one that grows past it while read, a file that
// cannot be opened or read.
FileRead readRegularFile(const QString& path, qint64 maxBytes);

}  // namespace pimrose
