#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "thumbnails/cache_files.h"

// Our own cache of icons at the exact size the lists show them, beside the shared thumbnail cache.
//
// The shared cache has no folder whose entries are near the default icon (270 pixels: x-large's 512
// must be inflated and reduced, four times the pixels); a second visit of a folder spends most of
// its time there. Under <root> (normally $XDG_CACHE_HOME/pimrose/icons) one folder per icon width in
// device pixels holds PNGs named like the shared cache's entries (MD5 of the file URI), each exactly
// the icon of its picture at that width, with Thumb::URI, Thumb::MTime, Thumb::Size and the picture's
// upright size as text chunks ahead of the pixels. An entry counts only while it names this version
// of the picture and fits its width (at most width x (2 x width + 1)); anything else is no entry.
//
// The folder is bounded (limitBytes): after a write takes it over the bound, the least recently used
// entries (oldest file time: a served entry's time is renewed) are deleted in the background until
// it is a tenth under, so trims stay rare. Only entry files in width folders are ever deleted.
//
// Copies share the bookkeeping of the bound; every method may run on any thread. Any failure (no
// cache folder, a read-only one, a damaged entry) means "no entry" or "not written".

namespace pimrose {

// What the bound keeps: a folder of some 400 photos is ~40 MB of icons at the default size, so this
// keeps the last dozen such folders; every picture also has its (four times larger) entry in the
// shared cache, to which an evicted icon falls back.
inline constexpr qint64 kIconCacheLimitBytes = 512LL * 1024 * 1024;

// A valid entry as found; its pixels are inflated only when it serves.
struct IconEntry {
  QByteArray png;
  QSize size;         // the icon's size, device pixels
  QSize pictureSize;  // the picture's upright size as recorded

  // Null when the PNG is damaged or cut short, or not of the kind we write.
  QImage pixels() const;
};

class IconCache {
 public:
  // Runs a trim; without one given, a thread of the cache's own does, off the caller's thread.
  using Background = std::function<void(std::function<void()>)>;

  // <cache home>/pimrose/icons (userCacheHome); empty without a cache home.
  static QString defaultRoot();

  explicit IconCache(const QString& root = defaultRoot(), qint64 limitBytes = kIconCacheLimitBytes,
                     Background background = {});

  const QString& root() const { return root_; }
  // False without a root and for pictures inside this cache's folder.
  bool covers(const QString& path) const;

  std::optional<IconEntry> find(const QString& path, const FileStamp& stamp, int width) const;
  // Marks the entry as just used, so the bound keeps it longest.
  void touch(const QString& path, int width) const;
  // `icon` must fit `width`; `picture` is the picture's upright size. May start a trim.
  bool store(const QString& path, const FileStamp& stamp, int width, const QImage& icon, QSize picture) const;

  QString entryPath(const QString& path, int width) const;

 private:
  struct Bound;
  void noteWritten(qint64 bytes) const;

  QString root_;
  std::shared_ptr<Bound> bound_;
};

}  // namespace pimrose
