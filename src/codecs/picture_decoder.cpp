#include "codecs/picture_decoder.h"

#include "codecs/decode_limits.h"
#include "codecs/gif_decode.h"
#include "codecs/jpeg_decode.h"
#include "codecs/jpeg_header.h"
#include "codecs/picture_header.h"
#include "codecs/plugin_decode.h"
#include "codecs/png_decode.h"

namespace pimrose {
namespace {

QSize storedTarget(QSize uprightTarget, int orientation) {
  return swapsSides(orientation) ? uprightTarget.transposed() : uprightTarget;
}

QImage decodeJpegUpright(QByteArrayView data, const PictureHeader& header, QSize atLeast, PreviewUse preview,
                         QString* error) {
  const QSize target = storedTarget(atLeast, header.orientation);
  QImage stored;
  if (preview == PreviewUse::Allowed && !header.preview.isEmpty())
    stored = decodeJpeg(header.preview, target, nullptr);
  if (stored.isNull()) stored = decodeJpeg(data, target, error);
  return applyOrientation(stored, header.orientation);
}

}  // namespace

QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  if (!header) {
    if (error) *error = QStringLiteral("not a picture, or its header is damaged");
    return {};
  }
  switch (header->format) {
    case PictureFormat::Jpeg:
      return decodeJpegUpright(data, *header, atLeast, preview, error);
    case PictureFormat::Png:
      return decodePng(data, atLeast, error);
    case PictureFormat::Gif:
      return decodeGif(data, atLeast, error);
    case PictureFormat::Other:
      return decodeWithPlugin(data, atLeast, error);
  }
  return {};
}

QImage decodePreviewUpright(const PictureHeader& header, QSize atLeast) {
  if (header.preview.isEmpty()) return {};
  const QImage stored = decodeJpeg(header.preview, storedTarget(atLeast, header.orientation), nullptr);
  return stored.isNull() ? stored : applyOrientation(stored, header.orientation);
}

QSize previewUprightSize(const PictureHeader& header) {
  if (header.preview.isEmpty()) return {};
  const std::optional<JpegHeader> preview = readJpegHeader(header.preview);
  return preview ? uprightSize(preview->storedSize, header.orientation) : QSize();
}

QImage thumbnailImage(QByteArrayView data, QSize size, PreviewUse preview, QString* error) {
  if (size.isEmpty()) {
    if (error) *error = QStringLiteral("empty thumbnail size");
    return {};
  }
  const QImage picture = decodeUpright(data, size, preview, error);
  if (picture.isNull()) return {};
  // Smooth scaling of palette or 16-bit images point-samples; 32-bit formats average properly.
  QImage wide = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
  if (wide.size() == size) return wide;
  return wide.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace pimrose
