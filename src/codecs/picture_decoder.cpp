#include "codecs/picture_decoder.h"

#include "codecs/decode_limits.h"
#include "codecs/gif_decode.h"
#include "codecs/jpeg_decode.h"
#include "codecs/picture_header.h"
#include "codecs/plugin_decode.h"
#include "codecs/png_decode.h"

namespace pimrose {
namespace {

QSize storedTarget(QSize uprightTarget, int orientation) {
  return swapsSides(orientation) ? uprightTarget.transposed() : uprightTarget;
}

QImage decodeJpegUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast, PreviewUse preview,
                         QString* error) {
  QImage stored;
  if (preview == PreviewUse::Allowed) {
    if (const std::optional<EmbeddedPreview> embedded = usablePreview(header, atLeast))
      stored =
          decodeJpeg(embedded->bytes, embedded->header, storedTarget(atLeast, header.orientation), nullptr);
  }
  if (stored.isNull())
    stored = decodeJpeg(data, header.jpeg, storedTarget(atLeast, header.orientation), error);
  return applyOrientation(stored, header.orientation);
}

QImage notAPicture(QString* error) {
  if (error) *error = QStringLiteral("not a picture, or its header is damaged");
  return {};
}

}  // namespace

QImage decodeUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast, PreviewUse preview,
                     QString* error) {
  switch (header.format) {
    case PictureFormat::Jpeg:
      return decodeJpegUpright(header, data, atLeast, preview, error);
    case PictureFormat::Png:
      return decodePng(data, atLeast, error);
    case PictureFormat::Gif:
      return decodeGif(data, atLeast, error);
    case PictureFormat::Other:
      return decodeWithPlugin(data, atLeast, error);
  }
  return notAPicture(error);
}

QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  return header ? decodeUpright(*header, data, atLeast, preview, error) : notAPicture(error);
}

std::optional<EmbeddedPreview> usablePreview(const PictureHeader& header, QSize atLeast) {
  if (header.preview.isEmpty()) return std::nullopt;
  const std::optional<JpegHeader> own = readJpegHeader(header.preview);
  if (!own) return std::nullopt;
  const QSize need = atLeast.isEmpty() ? header.storedSize : storedTarget(atLeast, header.orientation);
  // The smallest DCT scale, 1/8, rounds up.
  const QSize smallest((own->storedSize.width() + 7) / 8, (own->storedSize.height() + 7) / 8);
  if (smallest.width() > need.width() || smallest.height() > need.height()) return std::nullopt;
  return EmbeddedPreview{header.preview, *own, header.orientation};
}

QImage decodePreviewUpright(const EmbeddedPreview& preview, QSize atLeast) {
  const QImage stored =
      decodeJpeg(preview.bytes, preview.header, storedTarget(atLeast, preview.orientation), nullptr);
  return stored.isNull() ? stored : applyOrientation(stored, preview.orientation);
}

QImage scaledThumbnail(const QImage& picture, QSize size) {
  // Smooth scaling of palette or 16-bit images point-samples; 32-bit formats average properly.
  QImage wide = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
  if (wide.size() == size) return wide;
  return wide.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage thumbnailImage(const PictureHeader& header, QByteArrayView data, QSize size, PreviewUse preview,
                      QString* error) {
  if (size.isEmpty()) {
    if (error) *error = QStringLiteral("empty thumbnail size");
    return {};
  }
  const QImage picture = decodeUpright(header, data, size, preview, error);
  return picture.isNull() ? picture : scaledThumbnail(picture, size);
}

QImage thumbnailImage(QByteArrayView data, QSize size, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  return header ? thumbnailImage(*header, data, size, preview, error) : notAPicture(error);
}

}  // namespace pimrose
