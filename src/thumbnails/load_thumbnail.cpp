#include "thumbnails/load_thumbnail.h"

#include <memory>

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"
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

QImage previewThumbnail(const PictureHeader& header, QSize size) {
  const QSize preview = previewUprightSize(header);
  if (preview.isEmpty() || preview.width() * 2 < size.width() || preview.height() * 2 < size.height())
    return {};
  const QImage upright = decodePreviewUpright(header, size);
  return upright.isNull() ? upright : scaledThumbnail(upright, size);
}

LoadedThumbnail provisionalThumbnail(const LoadedThumbnail& result, QImage preview,
                                     std::function<LoadedThumbnail()> makeFinal) {
  LoadedThumbnail provisional{std::move(preview), result.height, result.sourceSize, QString()};
  provisional.provisional = true;
  provisional.makeFinal = std::move(makeFinal);
  return provisional;
}

LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio,
                              EarlyPreview early) {
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
  BudgetedBytes read = readFileBytesWithin(sharedReadBudget(), path, &result.error);
  if (read.bytes.isEmpty()) return result;
  const double ratio = pixelRatio > 1.0 ? pixelRatio : 1.0;
  const QSize devicePixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
  const PreviewUse use = previewUseFor(path, fastLoading);
  const auto fromBytes = [devicePixels, use, ratio](LoadedThumbnail made, const QByteArray& bytes) {
    made.image = thumbnailImage(bytes, devicePixels, use, &made.error);
    if (!made.image.isNull()) {
      made.image.setDevicePixelRatio(ratio);
      made.error.clear();
    }
    return made;
  };
  if (early == EarlyPreview::Yes && use == PreviewUse::Refused) {
    const std::optional<PictureHeader> header = readPictureHeader(read.bytes);
    QImage preview = header ? previewThumbnail(*header, devicePixels) : QImage();
    if (!preview.isNull()) {
      preview.setDevicePixelRatio(ratio);
      // The final stage may wait behind other pictures' previews: it reads the file again (from the
      // page cache, normally) rather than hold these bytes and their share of the budget meanwhile.
      read = {};
      auto makeFinal = [result, path, fromBytes]() mutable {
        const BudgetedBytes again = readFileBytesWithin(sharedReadBudget(), path, &result.error);
        return again.bytes.isEmpty() ? result : fromBytes(result, again.bytes);
      };
      return provisionalThumbnail(result, std::move(preview), std::move(makeFinal));
    }
  }
  return fromBytes(result, read.bytes);
}

}  // namespace pimrose
