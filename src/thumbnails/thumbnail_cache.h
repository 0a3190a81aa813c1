#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The desktop's shared thumbnail cache, read and written by file managers and viewers alike.
//
// Under <root> (normally $XDG_CACHE_HOME/thumbnails) the folders normal, large, x-large and
// xx-large hold PNG thumbnails that fit in 128, 256, 512 and 1024 pixel squares; a file is named
// after the MD5 of the picture's file URI and carries the text chunks Thumb::URI and Thumb::MTime
// (and Thumb::Size). An entry counts only while its MTime (and its Size, where present) still match
// the picture. Pictures that could not be thumbnailed are remembered under fail/pimrose-<version>/
// so they are not decoded again until they change.
//
// Every method is const and touches only the file system, so loader threads share one cache
// freely. Any failure (no cache folder, a read-only one, a damaged entry) just means "no entry" or
// "not written": the cache never stands in the way of a thumbnail.

namespace pimrose {

// What identifies a version of a picture file for the cache.
struct FileStamp {
  qint64 mtime = 0;  // seconds since the epoch
  qint64 size = 0;   // bytes
};

class ThumbnailCache {
 public:
  // $XDG_CACHE_HOME/thumbnails when XDG_CACHE_HOME is an absolute path, else $HOME/.cache/thumbnails;
  // empty when neither is known.
  static QString defaultRoot();

  explicit ThumbnailCache(const QString& root = defaultRoot());

  // One stat of the picture; nullopt when it cannot be read.
  static std::optional<FileStamp> stampOf(const QString& path);
  // The file URI of an absolute path, escaped byte by byte as the desktop's common file library
  // spells it, so that our entries and everybody else's carry the same name.
  static QByteArray uriOf(const QString& path);
  // The side of the smallest folder whose entries cover `need`; 0 when even the largest does not.
  static int folderSideFor(QSize need);

  const QString& root() const { return root_; }
  // False without a root and for pictures inside the cache folder itself.
  bool covers(const QString& path) const;

  // A valid entry covering `need`, or one that holds the whole picture (`sourceSize`); null otherwise.
  QImage lookup(const QString& path, const FileStamp& stamp, QSize need, QSize sourceSize) const;
  // `thumbnail` must already fit in the square of `side`.
  bool store(const QString& path, const FileStamp& stamp, int side, const QImage& thumbnail) const;

  bool hasFailure(const QString& path, const FileStamp& stamp) const;
  bool storeFailure(const QString& path, const FileStamp& stamp) const;

  // Where the entry of `path` lives in the folder of `side` (for tests and tools).
  QString entryPath(const QString& path, int side) const;
  QString failurePath(const QString& path) const;

 private:
  QString root_;
};

}  // namespace pimrose
