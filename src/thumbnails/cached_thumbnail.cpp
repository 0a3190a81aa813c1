#include "thumbnails/cached_thumbnail.h"

#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include <QFileInfo>

#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"
#include "thumbnails/icon_size.h"

namespace pimrose {
namespace {

// An icon's size in layout pixels and in the device pixels it is made at.
struct Icon {
  QSize layout;
  QSize device;
};

Icon iconFor(QSize picture, int iconSize, double ratio) {
  const QSize layout = thumbnailSize(picture.width(), picture.height(), iconSize);
  return {layout, devicePixelsOf(layout, ratio)};
}

// Where and how a new entry goes, and the icon's entry when icons are kept.
struct EntryPlan {
  ThumbnailCache cache;
  QString path;
  FileStamp stamp;
  int side = 0;
  EntryWrite write = EntryWrite::Now;
  std::optional<IconCache> icons = std::nullopt;
  int iconWidth = 0;

  void keepIcon(const QImage& icon, QSize picture) const {
    if (icons) icons->store(path, stamp, iconWidth, icon, picture);
  }
  // Runs `work` now or leaves it to the result's afterDelivery, as `write` says.
  void when(LoadedThumbnail& result, std::function<void()> work) const {
    if (write == EntryWrite::Now)
      work();
    else
      result.afterDelivery = std::move(work);
  }
};

LoadedThumbnail failed(LoadedThumbnail result, const QString& why) {
  result.image = {};
  result.error = why;
  return result;
}

// The decode covers the icon and nearly all of the entry (kEntrySharpness).
QSize decodeTarget(QSize icon, QSize entry) {
  const QSize sharp(int(std::ceil(entry.width() * kEntrySharpness)),
                    int(std::ceil(entry.height() * kEntrySharpness)));
  return icon.expandedTo(sharp);
}

// Decodes the file's pixels once, scales the icon from them and writes the cache entry from the same
// pixels (or leaves that to afterDelivery, which keeps the decoded picture and a copy of the plan
// alive until it runs). Both are converted to sRGB after scaling, each on its own few pixels. The
// file's bytes (and their share of the read budget) are held only until the decode is done.
LoadedThumbnail fromPixels(LoadedThumbnail result, const PictureProbe& probe, Icon icon, double ratio,
                           const EntryPlan& plan) {
  const QSize entry = ThumbnailCache::entrySizeFor(result.sourceSize, plan.side);
  TaggedPicture picture;
  {
    const BudgetedBytes read = probe.readAll(sharedReadBudget(), &result.error);
    if (read.bytes.isEmpty()) return result;
    picture = decodeTaggedUpright(probe.header(), read.bytes, decodeTarget(icon.device, entry),
                                  PreviewUse::Refused, &result.error);
  }
  if (picture.image.isNull()) {
    plan.cache.storeFailure(plan.path, plan.stamp);
    return result;
  }
  result.image = scaledThumbnail(picture, icon.device);
  result.image.setDevicePixelRatio(ratio);
  result.error.clear();
  plan.when(result, [plan, picture, entry, icon = result.image, source = result.sourceSize] {
    plan.cache.store(plan.path, plan.stamp, plan.side, scaledThumbnail(picture, entry), source);
    plan.keepIcon(icon, source);
  });
  return result;
}

// One request's way through the cache: the entries first, then (only when none serves) the
// picture, probed once and decoded once.
class CachedLoad {
 public:
  CachedLoad(QString path, FileStamp stamp, int iconSize, bool fastLoading, double ratio,
             const ThumbnailCache& cache, EntryWrite write, EarlyPreview early, IconKeeping icons)
      : path_(std::move(path)),
        stamp_(stamp),
        iconSize_(iconSize),
        iconWidth_(devicePixelsOf(QSize(iconSize, iconSize), ratio).width()),
        fastLoading_(fastLoading),
        ratio_(ratio),
        cache_(cache),
        write_(write),
        early_(early),
        icons_(icons) {}

  LoadedThumbnail run() {
    if (std::optional<LoadedThumbnail> hit = fromIconEntry()) return std::move(*hit);
    if (std::optional<LoadedThumbnail> hit = fromEntry()) return std::move(*hit);
    LoadedThumbnail result;
    if (cache_.hasFailure(path_, stamp_))
      return failed(result, QStringLiteral("failed before and unchanged since: %1").arg(path_));
    if (!openPicture(result.error)) return result;
    if (!probe_) {
      cache_.storeFailure(path_, stamp_);
      return failed(result, QStringLiteral("not a readable picture: %1").arg(path_));
    }
    return decodeAndStore();
  }

 private:
  // Opens and probes the picture once; false when it cannot be opened at all. A file that opens
  // but holds no picture leaves probe_ empty.
  bool openPicture(QString& error) {
    if (opened_) return true;
    std::optional<OpenedFile> file = OpenedFile::open(path_, &error);
    if (!file) return false;
    opened_ = true;
    probe_ = PictureProbe::of(std::move(*file), path_, &error);
    return true;
  }

  // The picture's upright size: recorded in the entry, or from the picture's header.
  QSize pictureSizeFor(const CacheEntry& entry) {
    if (!entry.pictureSize.isEmpty()) return entry.pictureSize;
    QString ignored;
    return openPicture(ignored) && probe_ ? probe_->upright() : QSize();
  }

  // Where new entries go; `side` is the shared cache's folder (0: none is written).
  EntryPlan planFor(int side) const {
    EntryPlan plan{cache_, path_, stamp_, side, write_};
    if (icons_.cache && icons_.write) {
      plan.icons = *icons_.cache;
      plan.iconWidth = iconWidth_;
    }
    return plan;
  }

  // The icon cache's entry when it is exactly this icon; it is marked as used after delivery.
  std::optional<LoadedThumbnail> fromIconEntry() {
    if (!icons_.cache) return std::nullopt;
    std::optional<IconEntry> entry = icons_.cache->find(path_, stamp_, iconWidth_);
    if (!entry) return std::nullopt;
    const Icon icon = iconFor(entry->pictureSize, iconSize_, ratio_);
    if (icon.device != entry->size) return std::nullopt;
    QImage pixels = entry->pixels();
    if (pixels.isNull()) return std::nullopt;
    LoadedThumbnail result{std::move(pixels), icon.layout.height(), entry->pictureSize, QString()};
    result.image.setDevicePixelRatio(ratio_);
    planFor(0).when(result,
                    [icons = *icons_.cache, path = path_, width = iconWidth_] { icons.touch(path, width); });
    return result;
  }

  std::optional<LoadedThumbnail> fromEntry() {
    for (const int side : ThumbnailCache::lookupOrder(iconWidth_)) {
      const std::optional<CacheEntry> entry = cache_.find(path_, stamp_, side);
      if (!entry) continue;
      const QSize picture = pictureSizeFor(*entry);
      const Icon icon = iconFor(picture, iconSize_, ratio_);
      if (icon.device.isEmpty() || !entry->serves(icon.device, picture)) continue;
      QImage pixels = entry->pixelsAt(icon.device);
      if (pixels.isNull()) continue;
      LoadedThumbnail result{std::move(pixels), icon.layout.height(), picture, QString()};
      result.image.setDevicePixelRatio(ratio_);
      const EntryPlan plan = planFor(0);
      if (plan.icons)
        plan.when(result, [plan, icon = result.image, picture] { plan.keepIcon(icon, picture); });
      return result;
    }
    return std::nullopt;
  }

  // The picture's thumbnail when no valid entry serves: from the preview where fast loading allows
  // it, else from the pixels, first standing in with the preview when `early` asks for it and one
  // serves. The entry is written only from the final thumbnail's pixels, never from a preview.
  LoadedThumbnail decodeAndStore() {
    LoadedThumbnail result;
    result.sourceSize = probe_->upright();
    const Icon icon = iconFor(result.sourceSize, iconSize_, ratio_);
    result.height = icon.layout.height();
    const int side = ThumbnailCache::folderSideFor(icon.device);
    if (icon.device.isEmpty() || side == 0 ||
        previewIsFinal(*probe_, icon.device, previewUseFor(path_, fastLoading_)))
      return loadThumbnail(*probe_, iconSize_, fastLoading_, ratio_, early_);
    const EntryPlan plan = planFor(side);
    const QSize finalDecode =
        decodeTarget(icon.device, ThumbnailCache::entrySizeFor(result.sourceSize, side));
    QImage preview =
        early_ == EarlyPreview::Yes ? previewThumbnail(*probe_, icon.device, finalDecode) : QImage();
    if (preview.isNull()) return fromPixels(result, *probe_, icon, ratio_, plan);
    preview.setDevicePixelRatio(ratio_);
    // The final stage may wait behind other pictures' previews; it reads the file only then. The
    // stamp still comes from before the picture was first read: a file changed in between gets an
    // entry that does not match it.
    auto makeFinal = [result, probe = *probe_, icon, ratio = ratio_, plan] {
      return fromPixels(result, probe, icon, ratio, plan);
    };
    return provisionalThumbnail(result, std::move(preview), std::move(makeFinal));
  }

  const QString path_;
  const FileStamp stamp_;
  const int iconSize_;
  const int iconWidth_;  // device pixels: the icon cache's folder
  const bool fastLoading_;
  const double ratio_;
  const ThumbnailCache& cache_;
  const EntryWrite write_;
  const EarlyPreview early_;
  const IconKeeping icons_;
  bool opened_ = false;
  std::optional<PictureProbe> probe_;
};

}  // namespace

LoadedThumbnail loadThumbnailCached(const QString& givenPath, int iconSize, bool fastLoading,
                                    const ThumbnailCache& cache, EntryWrite write, EarlyPreview early,
                                    double pixelRatio, IconKeeping icons) {
  // Entries are named after absolute URIs; a relative path names its file from the current folder.
  const QString path = givenPath.startsWith(u'/') ? givenPath : QFileInfo(givenPath).absoluteFilePath();
  // The stamp is taken before any byte is read: a file changed meanwhile gets an entry that no
  // longer matches it, never a current-looking entry of old pixels.
  const std::optional<FileStamp> stamp = cache.covers(path) ? ThumbnailCache::stampOf(path) : std::nullopt;
  if (!stamp) return loadThumbnail(path, iconSize, fastLoading, pixelRatio, early);
  const double ratio = pixelRatio > 1.0 ? pixelRatio : 1.0;
  return CachedLoad(path, *stamp, iconSize, fastLoading, ratio, cache, write, early, icons).run();
}

}  // namespace pimrose
