#include "thumbnails/cached_thumbnail.h"

#include <memory>
#include <utility>

#include <QFileInfo>

#include "codecs/file_reading.h"
#include "codecs/picture_header.h"
#include "thumbnails/icon_size.h"

namespace pimrose {
namespace {

// Enough for the header of nearly every picture: a JPEG's frame header follows its EXIF block,
// which is at most 64 KB. A picture whose header lies further on is read whole.
constexpr qint64 kHeaderBytes = 256 * 1024;

struct Measured {
  std::optional<PictureHeader> header;
  QSize icon;  // the thumbnail's size, inside the item's box
};

Measured measure(const QByteArray& bytes, int iconSize, LoadedThumbnail& result) {
  Measured m{readPictureHeader(bytes), {}};
  if (!m.header) return m;
  result.sourceSize = m.header->upright();
  m.icon = thumbnailSize(result.sourceSize.width(), result.sourceSize.height(), iconSize);
  result.height = m.icon.height();
  return m;
}

// The entry made from the decoded pixels: scaled down to fit the folder's square, kept as it is when
// it fits already. The decode stops at the first size that covers the icon (DCT scaling), so an
// entry may stay below the square's side; it still covers this icon and every smaller one, and the
// decode costs no more than it does without the cache.
QImage entryOf(const QImage& picture, int side) {
  if (picture.width() <= side && picture.height() <= side) return picture;
  return scaledThumbnail(picture,
                         picture.size().scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

LoadedThumbnail failed(LoadedThumbnail result, const QString& why) {
  result.image = {};
  result.error = why;
  return result;
}

// Decodes the file's pixels once, scales the icon from them and writes the cache entry from the same
// pixels (or leaves that to afterDelivery, which keeps the decoded picture and a copy of the cache,
// a folder name, alive until it runs). `read` holds the file's bytes (and their share of the read
// budget, if any) until the decode is done.
LoadedThumbnail fromPixels(LoadedThumbnail result, const QString& path, const BudgetedBytes& read,
                           const FileStamp& stamp, QSize icon, int side, const ThumbnailCache& cache,
                           EntryWrite write) {
  const QImage picture = decodeUpright(read.bytes, icon, PreviewUse::Refused, &result.error);
  if (picture.isNull()) {
    cache.storeFailure(path, stamp);
    return result;
  }
  result.image = scaledThumbnail(picture, icon);
  result.error.clear();
  auto store = [cache, path, stamp, side, picture] {
    cache.store(path, stamp, side, entryOf(picture, side));
  };
  if (write == EntryWrite::Now)
    store();
  else
    result.afterDelivery = std::move(store);
  return result;
}

// The picture's thumbnail when no valid entry serves: from the preview where fast loading allows it,
// else from the pixels, first standing in with the preview when `early` asks for it and one serves.
LoadedThumbnail decodeAndStore(const QString& path, BudgetedBytes read, const FileStamp& stamp, int iconSize,
                               bool fastLoading, const ThumbnailCache& cache, EntryWrite write,
                               EarlyPreview early) {
  LoadedThumbnail result;
  const Measured m = measure(read.bytes, iconSize, result);
  if (!m.header) {
    cache.storeFailure(path, stamp);
    return failed(result, QStringLiteral("not a readable picture: %1").arg(path));
  }
  const int side = ThumbnailCache::folderSideFor(m.icon);
  const bool previewMayServe =
      previewUseFor(path, fastLoading) == PreviewUse::Allowed && !m.header->preview.isEmpty();
  if (side == 0 || previewMayServe) {
    read = {};  // loadThumbnail takes its own share: holding this one while it waits could deadlock
    return loadThumbnail(path, iconSize, fastLoading, 1.0, early);
  }
  QImage preview = early == EarlyPreview::Yes ? previewThumbnail(*m.header, m.icon) : QImage();
  if (preview.isNull()) return fromPixels(result, path, read, stamp, m.icon, side, cache, write);
  // The entry is written only from the final thumbnail's pixels, never from the preview. The final
  // stage may wait behind other pictures' previews, so it reads the file again (from the page cache,
  // normally) rather than hold these bytes and their share of the read budget meanwhile. The stamp
  // still comes from before the first read: a file changed in between gets an entry that does not
  // match it.
  read = {};
  auto makeFinal = [result, path, stamp, icon = m.icon, side, cache, write]() mutable {
    const BudgetedBytes again = readFileBytesWithin(sharedReadBudget(), path, &result.error);
    if (again.bytes.isEmpty()) return result;
    return fromPixels(result, path, again, stamp, icon, side, cache, write);
  };
  return provisionalThumbnail(result, std::move(preview), std::move(makeFinal));
}

}  // namespace

LoadedThumbnail loadThumbnailCached(const QString& givenPath, int iconSize, bool fastLoading,
                                    const ThumbnailCache& cache, EntryWrite write, EarlyPreview early) {
  // Entries are named after absolute URIs; a relative path names its file from the current folder.
  const QString path = givenPath.startsWith(u'/') ? givenPath : QFileInfo(givenPath).absoluteFilePath();
  // The stamp is taken before any byte is read: a file changed meanwhile gets an entry that no
  // longer matches it, never a current-looking entry of old pixels.
  const std::optional<FileStamp> stamp = cache.covers(path) ? ThumbnailCache::stampOf(path) : std::nullopt;
  if (!stamp) return loadThumbnail(path, iconSize, fastLoading, 1.0, early);
  LoadedThumbnail result;
  bool complete = false;
  const QByteArray start = readFileStart(path, kHeaderBytes, &complete, &result.error);
  if (start.isEmpty()) return result;
  const Measured m = measure(start, iconSize, result);
  if (cache.hasFailure(path, *stamp))
    return failed(result, QStringLiteral("failed before and unchanged since: %1").arg(path));
  if (m.header && m.icon.isEmpty()) return loadThumbnail(path, iconSize, fastLoading, 1.0, early);
  if (m.header) {
    const QImage entry = cache.lookup(path, *stamp, m.icon, result.sourceSize);
    if (!entry.isNull()) {
      result.image = scaledThumbnail(entry, m.icon);
      return result;
    }
  }
  // A file longer than its start counts against the loaders' shared budget until it is decoded.
  BudgetedBytes read =
      complete ? BudgetedBytes{{}, start} : readFileBytesWithin(sharedReadBudget(), path, &result.error);
  if (read.bytes.isEmpty()) return result;
  return decodeAndStore(path, std::move(read), *stamp, iconSize, fastLoading, cache, write, early);
}

}  // namespace pimrose
