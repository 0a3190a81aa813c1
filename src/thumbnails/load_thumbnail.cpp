#include "thumbnails/load_thumbnail.h"

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"

namespace pimrose {
namespace {

// With fast loading off, JPEGs are thumbnailed from their own pixels: the embedded preview is
// blurry at large icon sizes and may not even match the picture. Only the exact lower-case
// extensions count, as the loader has always decided it.
PreviewUse previewUse(const QString& path, bool fastLoading) {
  if (fastLoading) return PreviewUse::Allowed;
  const bool jpegByName = path.endsWith(QLatin1String(".jpg")) || path.endsWith(QLatin1String(".jpeg"));
  return jpegByName ? PreviewUse::Refused : PreviewUse::Allowed;
}

}  // namespace

LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio) {
  LoadedThumbnail result;
  const QByteArray bytes = readFileBytes(path, &result.error);
  if (bytes.isEmpty()) return result;
  const std::optional<PictureHeader> header = readPictureHeader(bytes);
  if (!header) {
    result.error = QStringLiteral("not a readable picture: %1").arg(path);
    return result;
  }
  result.sourceSize = header->upright();
  const int w = result.sourceSize.width(), h = result.sourceSize.height();
  result.height = w > 0 ? int(double(h) / w * iconSize) : 0;
  // A side below 1 falls back to the picture's own, as MakeThumbnail does.
  const QSize size(iconSize > 0 ? iconSize : w, result.height > 0 ? result.height : h);
  const double ratio = pixelRatio > 1.0 ? pixelRatio : 1.0;
  const QSize devicePixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
  result.image = thumbnailImage(bytes, devicePixels, previewUse(path, fastLoading), &result.error);
  if (!result.image.isNull()) {
    result.image.setDevicePixelRatio(ratio);
    result.error.clear();
  }
  return result;
}

}  // namespace pimrose
