#include "thumbnails/load_thumbnail.h"

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_size.h"
#include "thumbnails/icon_size.h"

namespace pimrose {

// With fast loading off, JPEGs are thumbnailed from their own pixels: the embedded preview is
// blurry at large icon sizes and may not even match the picture. Only the exact lower-case
// extensions count, as the loader has always decided it.
PreviewUse previewUseFor(const QString& path, bool fastLoading) {
  if (fastLoading) return PreviewUse::Allowed;
  const bool jpegByName = path.endsWith(QLatin1String(".jpg")) || path.endsWith(QLatin1String(".jpeg"));
  return jpegByName ? PreviewUse::Refused : PreviewUse::Allowed;
}

QImage scaledThumbnail(const QImage& picture, QSize size) {
  // Smooth scaling of palette or 16-bit images point-samples; 32-bit formats average properly.
  QImage wide = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
  if (wide.size() == size) return wide;
  return wide.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio) {
  LoadedThumbnail result;
  // The header comes first, from a bounded read: a file that only carries a picture's name (text,
  // a sparse file of zeros) is turned away before anything more of it is read.
  result.sourceSize = pictureSize(path, &result.error);
  if (result.sourceSize.isEmpty()) return result;
  const QSize size = thumbnailSize(result.sourceSize.width(), result.sourceSize.height(), iconSize);
  result.height = size.height();
  if (size.isEmpty()) {
    result.error = QStringLiteral("no icon size");
    return result;
  }
  // The bytes count against the loaders' shared budget until the thumbnail is made.
  const BudgetedBytes read = readFileBytesWithin(sharedReadBudget(), path, &result.error);
  const QByteArray& bytes = read.bytes;
  if (bytes.isEmpty()) return result;
  const double ratio = pixelRatio > 1.0 ? pixelRatio : 1.0;
  const QSize devicePixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
  result.image = thumbnailImage(bytes, devicePixels, previewUseFor(path, fastLoading), &result.error);
  if (!result.image.isNull()) {
    result.image.setDevicePixelRatio(ratio);
    result.error.clear();
  }
  return result;
}

}  // namespace pimrose
