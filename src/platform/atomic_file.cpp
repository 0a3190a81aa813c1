#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pimrose {
namespace {

// A link is replaced where it points, so a settings file kept elsewhere stays linked.
QString targetOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.isSymLink()) return path;
  const QString target = info.symLinkTarget();
  return target.isEmpty() ? path : target;
}

bool writeAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

// The new file takes the old one's permissions; a new file gets the usual private-enough 0644 less umask.
void copyMode(int fd, const QByteArray& target) {
  struct stat old {};
  if (::stat(target.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
}

// Makes the rename itself durable: without this a power cut may bring back the old directory entry.
void syncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool writeTemporary(const QByteArray& temporary, const QByteArray& target, const QByteArray& bytes) {
  const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return false;
  copyMode(fd, target);
  const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  return ::close(fd) == 0 && written;
}

}  // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
  const QString target = targetOf(path);
  const QString folder = QFileInfo(target).absolutePath();
  if (!QDir().mkpath(folder)) return false;
  // One fixed name per file: only one instance of the program runs, and a temporary file left by a
  // crash is simply overwritten by the next save instead of piling up.
  const QByteArray temporary = QFile::encodeName(target + QStringLiteral(".saving"));
  const QByteArray final = QFile::encodeName(target);
  if (!writeTemporary(temporary, final, bytes) || ::rename(temporary.constData(), final.constData()) != 0) {
    ::unlink(temporary.constData());
    return false;
  }
  syncFolder(folder);
  return true;
}

}  // namespace pimrose
