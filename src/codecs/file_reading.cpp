#include "codecs/file_reading.h"

#include <algorithm>
#include <limits>

#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "text/file_names.h"

namespace pimrose {
namespace {

void setError(QString* error, const QString& text) {
  if (error) *error = text;
}

}  // namespace

QByteArray readFileStart(const QString& path, qint64 limit, bool* complete, QString* error) {
  if (complete) *complete = false;
  // Opened by its bytes: names that are not valid UTF-8 reach the program mapped losslessly.
  const int fd =
      path.isEmpty() ? -1 : ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    setError(error, QStringLiteral("cannot open: %1").arg(path));
    return {};
  }
  const auto closeFile = qScopeGuard([fd] { ::close(fd); });
  struct stat info {};
  // Regular files only: a FIFO or a device named like a picture would block a loader for ever.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    setError(error, QStringLiteral("not a file: %1").arg(path));
    return {};
  }
  const qint64 size = info.st_size;
  const qint64 wanted = std::min(size, limit);
  QByteArray bytes(qsizetype(wanted), Qt::Uninitialized);
  qint64 got = 0;
  while (got < wanted) {
    const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(wanted - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  if (got != wanted) {
    setError(error, QStringLiteral("read failed: %1").arg(path));
    return {};
  }
  if (complete) *complete = wanted == size;
  if (bytes.isEmpty()) setError(error, QStringLiteral("empty file: %1").arg(path));
  return bytes;
}

QByteArray readFileBytes(const QString& path, QString* error) {
  return readFileStart(path, std::numeric_limits<qsizetype>::max(), nullptr, error);
}

}  // namespace pimrose
