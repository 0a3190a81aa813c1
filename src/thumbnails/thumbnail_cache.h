#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "thumbnails/cache_files.h"

// The desktop's shared thumbnail cache, read and written by file managers and viewers alike.
//
// Under <root> (normally $XDG_CACHE_HOME/thumbnails) the folders normal, large, x-large and
// xx-large hold PNG thumbnails that fit in 128, 256, 512 and 1024 pixel squares; a file is named
// after the MD5 of the picture's file URI and carries the text chunks Thumb::URI and Thumb::MTime
// (and Thumb::Size, Thumb::Image::Width and Thumb::Image::Height). An entry counts only while its
// MTime (whole seconds: some writers add a fraction) and its Size, where present, still match the
// picture, and only while it fits its folder's square. Pictures that could not be thumbnailed are
// remembered under fail/pimrose-<version>/ so they are not decoded again until they change.
//
// Every method is const and touches only the file system, so loader threads share one cache
// freely. Any failure (no cache folder, a read-only one, a damaged entry) just means "no entry" or
// "not written": the cache never stands in the way of a thumbnail.

namespace pimrose {

// A valid entry as found, its pixels not decoded yet: whether it serves an icon is decided first.
struct CacheEntry {
  QByteArray png;
  int side = 0;         // the folder it lies in
  QSize size;           // its pixels, upright
  QSize pictureSize;    // the picture's upright size as the entry records it; empty when it does not
  QImage decoded = {};  // already decoded while it was checked (chunks after the pixels)

  // Whether it covers `need`, or holds the whole picture of `picture` (upright).
  bool serves(QSize need, QSize picture) const;
  // Null when the PNG is damaged or cut short.
  QImage pixels() const;
  // Its pixels scaled to `icon` (RGB32, or ARGB32_Premultiplied with alpha), the rows reduced as
  // they are inflated where the entry allows it; null as pixels() is.
  QImage pixelsAt(QSize icon) const;
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
  // The side of the smallest folder whose entries cover `need` (device pixels); 0 when even the
  // largest does not. Entries are written there, at that folder's size.
  static int folderSideFor(QSize need);
  // The folders to look in for an icon `iconWidth` device pixels wide, cheapest that may serve
  // first: every icon is at least that long on its longest side, so the folders from the one that
  // covers it upwards, then the smaller ones, which serve only a picture they hold whole.
  static std::vector<int> lookupOrder(int iconWidth);
  // The size of the entry in the folder of `side` for a picture of `picture` (upright): the
  // square's size, proportions kept, or the picture's own when it fits already.
  static QSize entrySizeFor(QSize picture, int side);

  const QString& root() const { return root_; }
  // False without a root and for pictures inside the cache folder itself.
  bool covers(const QString& path) const;

  // The entry of `path` in the folder of `side` when it names this version of the picture and fits
  // the folder's square. An entry larger than its folder allows is passed over unread: a few hundred
  // kilobytes claiming 100 megapixels would decode to 400 MB.
  std::optional<CacheEntry> find(const QString& path, const FileStamp& stamp, int side) const;
  // `thumbnail` must already fit in the square of `side`; `picture` is the picture's upright size.
  bool store(const QString& path, const FileStamp& stamp, int side, const QImage& thumbnail,
             QSize picture = {}) const;

  bool hasFailure(const QString& path, const FileStamp& stamp) const;
  bool storeFailure(const QString& path, const FileStamp& stamp) const;

  // Where the entry of `path` lives in the folder of `side` (for tests and tools).
  QString entryPath(const QString& path, int side) const;
  QString failurePath(const QString& path) const;

 private:
  QString root_;
};

}  // namespace pimrose
