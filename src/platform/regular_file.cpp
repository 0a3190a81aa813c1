#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QFile>

namespace pimrose {
namespace {

FileRead refused() {
  return {FileRead::Outcome::Refused, {}};
}

// Reads to the end, but never past `maxBytes` + 1, so a file that grows while read is caught.
bool readAll(int fd, qint64 maxBytes, QByteArray& bytes) {
  for (;;) {
    const qsizetype room = std::max<qsizetype>(bytes.size() * 2, 64 * 1024);
    const qsizetype wanted = std::min<qsizetype>(room, static_cast<qsizetype>(maxBytes) + 1);
    const qsizetype done = bytes.size();
    bytes.resize(wanted);
    const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(wanted - done));
    if (n < 0 && errno == EINTR) {
      bytes.resize(done);
      continue;
    }
    bytes.resize(done + std::max<ssize_t>(n, 0));
    if (n <= 0) return n == 0;
    if (bytes.size() > maxBytes) return false;
  }
}

}  // namespace

FileRead readRegularFile(const QString& path, qint64 maxBytes) {
  const QByteArray name = QFile::encodeName(path);
  struct stat before {};
  if (::stat(name.constData(), &before) != 0)
    return errno == ENOENT ? FileRead{FileRead::Outcome::Missing, {}} : refused();
  if (!S_ISREG(before.st_mode) || before.st_size > maxBytes) return refused();
  // Without waiting: should a FIFO have taken the file's place since the look above, opening it
  // must not wait for a writer.
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? FileRead{FileRead::Outcome::Missing, {}} : refused();
  struct stat opened {};
  FileRead read{FileRead::Outcome::Read, {}};
  read.bytes.reserve(static_cast<qsizetype>(before.st_size) + 1);
  const bool ok = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && readAll(fd, maxBytes, read.bytes);
  ::close(fd);
  return ok ? read : refused();
}

}  // namespace pimrose
