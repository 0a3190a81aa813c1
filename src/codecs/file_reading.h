#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "codecs/read_budget.h"

namespace pimrose {

// No picture file larger than this is read into memory: the largest camera JPEGs stay well under
// 200 MB, and a loader thread must not be able to hold gigabytes for a file that only carries a
// picture's name (a sparse 5 GB file named .jpg costs one refused stat).
constexpr qint64 kMaxPictureFileBytes = 256 * 1024 * 1024;

// A regular file opened by its exact name bytes, read with positioned reads. Move-only; closes on
// destruction. FIFOs and devices are refused: they would block a loader for ever.
class OpenedFile {
 public:
  static std::optional<OpenedFile> open(const QString& path, QString* error = nullptr);
  OpenedFile(OpenedFile&& other) noexcept;
  OpenedFile& operator=(OpenedFile&&) = delete;
  OpenedFile(const OpenedFile&) = delete;
  ~OpenedFile();

  // The size the file had when it was opened.
  qint64 size() const { return size_; }
  // Up to `count` bytes from `offset`; shorter at the end of the file or on a read error.
  QByteArray readAt(qint64 offset, qint64 count) const;
  // The same into `out`; answers the bytes read.
  qint64 readInto(char* out, qint64 offset, qint64 count) const;
  // True when the file is still `size()` bytes long: a file that grew or shrank while it was read
  // gives a mixture of two versions and is not trusted.
  bool unchanged() const;

 private:
  OpenedFile(int fd, qint64 size) : fd_(fd), size_(size) {}
  int fd_;
  qint64 size_;
};

// The whole file, when it holds at most `limit` bytes; empty (with `error` set) for a missing,
// unreadable, empty or too large file, a directory, or one that changed size while it was read.
QByteArray readFileBytes(const QString& path, QString* error = nullptr, qint64 limit = kMaxPictureFileBytes);
// The same from a file already open (`path` names it in errors): one open where a caller also
// measures it, which halves the waits on a slow share.
QByteArray readFileBytes(const OpenedFile& file, const QString& path, QString* error = nullptr,
                         qint64 limit = kMaxPictureFileBytes);

// The whole file as readFileBytes reads it, its size held in `budget` from before the read for as
// long as the grant is kept: a loader keeps it while it decodes the bytes.
struct BudgetedBytes {
  ReadBudget::Grant grant;
  QByteArray bytes;
};
BudgetedBytes readFileBytesWithin(ReadBudget& budget, const QString& path, QString* error = nullptr,
                                  qint64 limit = kMaxPictureFileBytes);
// `start`, when given, holds the file's first bytes as read before: they are not read again.
BudgetedBytes readFileBytesWithin(ReadBudget& budget, const OpenedFile& file, const QString& path,
                                  QString* error = nullptr, qint64 limit = kMaxPictureFileBytes,
                                  const QByteArray& start = {});

// At most the first `limit` bytes, for questions the header answers. `complete` tells whether
// that was the whole file.
QByteArray readFileStart(const QString& path, qint64 limit, bool* complete, QString* error = nullptr);

}  // namespace pimrose
