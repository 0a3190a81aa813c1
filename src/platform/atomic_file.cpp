#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pimrose {
namespace {

// As many links as the system itself follows before it gives up on a loop.
constexpr int kMaxLinks = 40;

// The path at the end of a chain of links: each relative target is taken from its link's folder.
// nullopt for a loop.
std::optional<QString> endOfLinks(QString path) {
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QByteArray name = QFile::encodeName(path);
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t size = ::readlink(name.constData(), target.data(), static_cast<size_t>(target.size()));
    if (size <= 0 || size >= target.size()) return std::nullopt;
    target.truncate(size);
    path = QDir::cleanPath(info.dir().absoluteFilePath(QFile::decodeName(target)));
  }
  return std::nullopt;
}

// The superuser may write anywhere; a file without any write permission was still made read-only
// on purpose.
bool mayReplace(const QByteArray& target, const struct stat& file) {
  if (!S_ISREG(file.st_mode)) return false;
  if (::geteuid() == 0) return (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  return ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) == 0;
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
  const std::optional<QString> target = endOfLinks(path);
  if (!target) return false;
  const QByteArray final = QFile::encodeName(*target);
  struct stat existing {};
  if (::lstat(final.constData(), &existing) == 0 ? !mayReplace(final, existing) : errno != ENOENT)
    return false;
  const QString folder = QFileInfo(*target).absolutePath();
  if (!QDir().mkpath(folder)) return false;
  // One fixed name per file: only one instance of the program runs, and a temporary file left by a
  // crash is simply overwritten by the next save instead of piling up.
  const QByteArray temporary = QFile::encodeName(*target + QStringLiteral(".saving"));
  if (!writeTemporary(temporary, final, bytes) || ::rename(temporary.constData(), final.constData()) != 0) {
    ::unlink(temporary.constData());
    return false;
  }
  syncFolder(folder);
  return true;
}

}  // namespace pimrose
