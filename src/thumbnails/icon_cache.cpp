#include "thumbnails/icon_cache.h"

#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "codecs/file_reading.h"
#include "codecs/png_fast_path.h"
#include "text/file_names.h"
#include "thumbnails/icon_cache_trim.h"
#include "thumbnails/thumbnail_cache.h"

namespace pimrose {

// What the copies of one cache know of its size. The total is unknown until the first trim has
// counted the folder (the first write of a process starts one); writes meanwhile are added after.
// Trims run on a thread of the cache's own, never a pool that painting or a loader waits on; the
// last copy of the cache waits for a trim still running.
struct IconCache::Bound {
  qint64 limit = 0;
  Background background;
  std::mutex threadMutex;  // for `thread`: a trim may end (and the next begin) before it is stored
  std::thread thread;
  std::mutex mutex;
  qint64 total = -1;  // bytes, -1 while unknown
  qint64 meanwhile = 0;
  bool trimming = false;

  ~Bound() {
    if (thread.joinable()) thread.join();
  }
};

namespace {

// The tallest icon of a width: items are twice as tall as wide, and device pixels are rounded.
int tallestFor(int width) {
  return 2 * width + 1;
}

}  // namespace

// Only the fast path reads an entry: it takes the kind of PNG we write and checks the pixel
// stream's checksum, where the lenient reader would show a damaged stream's pixels.
QImage IconEntry::pixels() const {
  std::optional<QImage> pixels = decodePngFastPath(png, {});
  return pixels ? std::move(*pixels) : QImage();
}

QString IconCache::defaultRoot() {
  const QString home = userCacheHome();
  return home.isEmpty() ? home : home + QStringLiteral("/pimrose/icons");
}

IconCache::IconCache(const QString& root, qint64 limitBytes, Background background)
    : root_(root.isEmpty() ? root : QDir::cleanPath(root)), bound_(std::make_shared<Bound>()) {
  bound_->limit = limitBytes;
  bound_->background = std::move(background);
}

bool IconCache::covers(const QString& path) const {
  if (root_.isEmpty() || !path.startsWith(u'/')) return false;
  const QString clean = QDir::cleanPath(path);
  return !(clean == root_ || clean.startsWith(root_ + u'/'));
}

QString IconCache::entryPath(const QString& path, int width) const {
  return root_ + u'/' + QString::number(width) + u'/' +
         QString::fromLatin1(entryFileName(ThumbnailCache::uriOf(path)));
}

std::optional<IconEntry> IconCache::find(const QString& path, const FileStamp& stamp, int width) const {
  if (width < 1 || !covers(path)) return std::nullopt;
  // No valid entry is larger than its pixels stored without compression.
  const qint64 maxBytes = qint64(width) * tallestFor(width) * 4 + 64 * 1024;
  bool complete = false;
  QByteArray png = readFileStart(entryPath(path, width), maxBytes, &complete, nullptr);
  const std::optional<PngHead> head = complete ? readPngHead(png) : std::nullopt;
  if (!head || head->size.width() > width || head->size.height() > tallestFor(width)) return std::nullopt;
  if (!hasEntryStamp(head->texts) || !entryTextsMatch(head->texts, ThumbnailCache::uriOf(path), stamp))
    return std::nullopt;
  const QSize picture = recordedPictureSize(head->texts, head->size);
  if (picture.isEmpty()) return std::nullopt;
  return IconEntry{std::move(png), head->size, picture};
}

void IconCache::touch(const QString& path, int width) const {
  const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
  ::utimensat(AT_FDCWD, encodeFileName(entryPath(path, width)).constData(), times, AT_SYMLINK_NOFOLLOW);
}

bool IconCache::store(const QString& path, const FileStamp& stamp, int width, const QImage& icon,
                      QSize picture) const {
  if (width < 1 || !covers(path) || icon.isNull() || picture.isEmpty() || icon.width() > width ||
      icon.height() > tallestFor(width))
    return false;
  // The root's two levels (pimrose/icons) are made under the cache home, which must exist.
  const QDir home = QFileInfo(QFileInfo(root_).path()).dir();
  if (!makePrivateFolders(home.path(), home.relativeFilePath(root_) + u'/' + QString::number(width)))
    return false;
  const QByteArray png = encodeEntry(icon, ThumbnailCache::uriOf(path), stamp, picture);
  if (png.isEmpty() || !writeAtomically(entryPath(path, width), png)) return false;
  noteWritten(png.size());
  return true;
}

// Counts the write; the first of a process, and any that takes the folder over its bound, starts a
// trim in the background (one at a time), which counts the folder anew.
void IconCache::noteWritten(qint64 bytes) const {
  Bound* bound = bound_.get();
  {
    const std::lock_guard lock(bound->mutex);
    if (bound->trimming) {
      bound->meanwhile += bytes;
      return;
    }
    if (bound->total >= 0) bound->total += bytes;
    if (bound->total >= 0 && bound->total <= bound->limit) return;
    bound->trimming = true;
  }
  // Once more while writes during a trim took the folder over again.
  auto trim = [bound, root = root_] {
    for (;;) {
      const qint64 left = trimIconFolder(root, bound->limit, bound->limit - bound->limit / 10);
      const std::lock_guard lock(bound->mutex);
      const bool again = bound->meanwhile > 0 && left + bound->meanwhile > bound->limit;
      bound->total = left + bound->meanwhile;
      bound->meanwhile = 0;
      if (!again) {
        bound->trimming = false;
        return;
      }
    }
  };
  if (bound->background) {
    bound->background(std::move(trim));
    return;
  }
  const std::lock_guard lock(bound->threadMutex);
  if (bound->thread.joinable()) bound->thread.join();  // ending: it has let go of `trimming`
  bound->thread = std::thread(std::move(trim));
}

}  // namespace pimrose
