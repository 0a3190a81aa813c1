#include "codecs/file_reading.h"

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "codecs/probe_counts.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

void setError(QString* error, const QString& text) {
  if (error) *error = text;
}

qint64 currentSize(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? qint64(info.st_size) : -1;
}

bool withinLimit(const OpenedFile& file, const QString& path, QString* error, qint64 limit) {
  if (file.size() <= limit) return true;
  setError(error, QStringLiteral("file too large (%1 bytes): %2").arg(file.size()).arg(path));
  return false;
}

// The whole file; the first bytes come from `start` when it holds some, so they are not read twice.
QByteArray readWhole(const OpenedFile& file, const QString& path, QString* error,
                     const QByteArray& start = {}) {
  ++threadProbeCounts().wholeReads;
  QByteArray bytes;
  if (start.size() >= file.size()) {
    bytes = start.size() == file.size() ? start : start.first(qsizetype(file.size()));
  } else {
    bytes = QByteArray(qsizetype(file.size()), Qt::Uninitialized);
    std::copy(start.cbegin(), start.cend(), bytes.data());
    const qint64 rest = file.readInto(bytes.data() + start.size(), start.size(), file.size() - start.size());
    bytes.truncate(start.size() + rest);
  }
  if (bytes.size() != file.size() || !file.unchanged()) {
    setError(error, QStringLiteral("read failed or file changed while read: %1").arg(path));
    return {};
  }
  if (bytes.isEmpty()) setError(error, QStringLiteral("empty file: %1").arg(path));
  return bytes;
}

}  // namespace

std::optional<OpenedFile> OpenedFile::open(const QString& path, QString* error) {
  // Opened by its bytes: names that are not valid UTF-8 reach the program mapped losslessly.
  const int fd =
      path.isEmpty() ? -1 : ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    setError(error, QStringLiteral("cannot open: %1").arg(path));
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    setError(error, QStringLiteral("not a file: %1").arg(path));
    return std::nullopt;
  }
  ++threadProbeCounts().opens;
  return OpenedFile(fd, info.st_size);
}

OpenedFile::OpenedFile(OpenedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

OpenedFile::~OpenedFile() {
  if (fd_ >= 0) ::close(fd_);
}

QByteArray OpenedFile::readAt(qint64 offset, qint64 count) const {
  if (offset < 0 || count <= 0 || offset >= size_) return {};
  QByteArray bytes(qsizetype(std::min(count, size_ - offset)), Qt::Uninitialized);
  bytes.truncate(qsizetype(readInto(bytes.data(), offset, bytes.size())));
  return bytes;
}

qint64 OpenedFile::readInto(char* out, qint64 offset, qint64 count) const {
  if (offset < 0 || count <= 0 || offset >= size_) return 0;
  count = std::min(count, size_ - offset);
  qint64 got = 0;
  while (got < count) {
    const ssize_t n = ::pread(fd_, out + got, size_t(count - got), off_t(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  return got;
}

bool OpenedFile::unchanged() const {
  return currentSize(fd_) == size_;
}

QByteArray readFileBytes(const QString& path, QString* error, qint64 limit) {
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return {};
  return readFileBytes(*file, path, error, limit);
}

QByteArray readFileBytes(const OpenedFile& file, const QString& path, QString* error, qint64 limit) {
  if (!withinLimit(file, path, error, limit)) return {};
  return readWhole(file, path, error);
}

BudgetedBytes readFileBytesWithin(ReadBudget& budget, const QString& path, QString* error, qint64 limit) {
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return {};
  return readFileBytesWithin(budget, *file, path, error, limit);
}

BudgetedBytes readFileBytesWithin(ReadBudget& budget, const OpenedFile& file, const QString& path,
                                  QString* error, qint64 limit, const QByteArray& start) {
  if (!withinLimit(file, path, error, limit)) return {};
  BudgetedBytes read{budget.acquire(file.size()), {}};
  read.bytes = readWhole(file, path, error, start);
  return read;
}

QByteArray readFileStart(const QString& path, qint64 limit, bool* complete, QString* error) {
  if (complete) *complete = false;
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return {};
  const qint64 wanted = std::min(file->size(), limit);
  QByteArray bytes = file->readAt(0, wanted);
  if (bytes.size() != wanted) {
    setError(error, QStringLiteral("read failed: %1").arg(path));
    return {};
  }
  if (bytes.isEmpty()) setError(error, QStringLiteral("empty file: %1").arg(path));
  if (complete) *complete = wanted == file->size() && file->unchanged();
  return bytes;
}

}  // namespace pimrose
