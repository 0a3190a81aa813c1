#include "codecs/picture_decoder.h"

#include "codecs/decode_limits.h"
#include "codecs/embedded_colour.h"
#include "codecs/gif_decode.h"
#include "codecs/heif_decode.h"
#include "codecs/jpeg_decode.h"
#include "codecs/jxl_decode.h"
#include "codecs/picture_header.h"
#include "codecs/plugin_decode.h"
#include "codecs/png_decode.h"

namespace pimrose {
namespace {

QSize storedTarget(QSize uprightTarget, int orientation) {
  return swapsSides(orientation) ? uprightTarget.transposed() : uprightTarget;
}

// The colours are those of the bytes decoded: the embedded preview's own, when it stood in. Both
// profiles come from the header as it was read, APP2 pieces and all: the markers are not walked again.
TaggedPicture decodeJpegUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast,
                                PreviewUse preview, QString* error) {
  const QSize target = storedTarget(atLeast, header.orientation);
  if (preview == PreviewUse::Allowed) {
    if (const std::optional<EmbeddedPreview> embedded = usablePreview(header, atLeast)) {
      const QImage stored = decodeJpeg(embedded->bytes, embedded->header, target, nullptr);
      if (!stored.isNull())
        return {applyOrientation(stored, header.orientation), jpegColourProfile(embedded->header.iccChunks)};
    }
  }
  const QImage stored = decodeJpeg(data, header.jpeg, target, error);
  if (stored.isNull()) return {};
  return {applyOrientation(stored, header.orientation), jpegColourProfile(header.jpeg.iccChunks)};
}

// The colour chunks stand before the pixels, whichever reader decodes them.
TaggedPicture pngPicture(QByteArrayView data, QSize atLeast, QString* error) {
  const QImage image = decodePng(data, atLeast, error);
  return {image, image.isNull() ? ColourProfile() : pngColourProfile(data)};
}

TaggedPicture notAPicture(QString* error) {
  if (error) *error = QStringLiteral("not a picture, or its header is damaged");
  return {};
}

TaggedPicture decodeTaggedUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  return header ? decodeTaggedUpright(*header, data, atLeast, preview, error) : notAPicture(error);
}

}  // namespace

TaggedPicture decodeTaggedUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast,
                                  PreviewUse preview, QString* error) {
  switch (header.format) {
    case PictureFormat::Jpeg:
      return decodeJpegUpright(header, data, atLeast, preview, error);
    case PictureFormat::Png:
      return pngPicture(data, atLeast, error);
    case PictureFormat::Gif:
      return {decodeGif(data, atLeast, error), {}};
    case PictureFormat::Heif:
      return decodeHeif(data, atLeast, error);
    case PictureFormat::Jxl:
      return decodeJxl(data, atLeast, error);
    case PictureFormat::Other:
      return taggedPluginImage(decodeWithPlugin(data, atLeast, error));
  }
  return notAPicture(error);
}

QImage decodeUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast, PreviewUse preview,
                     QString* error) {
  TaggedPicture picture = decodeTaggedUpright(header, data, atLeast, preview, error);
  return convertedToSrgb(std::move(picture.image), picture.colour);
}

QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  TaggedPicture picture = decodeTaggedUpright(data, atLeast, preview, error);
  return convertedToSrgb(std::move(picture.image), picture.colour);
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
  if (stored.isNull()) return stored;
  return convertedToSrgb(applyOrientation(stored, preview.orientation),
                         jpegColourProfile(preview.header.iccChunks));
}

QImage scaledThumbnail(const QImage& picture, QSize size) {
  // Smooth scaling of palette or 16-bit images point-samples; 32-bit formats average properly.
  QImage wide = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
  if (wide.size() == size) return wide;
  return wide.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage scaledThumbnail(const TaggedPicture& picture, QSize size) {
  // Colours are converted last, on the fewest pixels.
  return convertedToSrgb(scaledThumbnail(picture.image, size), picture.colour);
}

QImage thumbnailImage(const PictureHeader& header, QByteArrayView data, QSize size, PreviewUse preview,
                      QString* error) {
  if (size.isEmpty()) {
    if (error) *error = QStringLiteral("empty thumbnail size");
    return {};
  }
  const TaggedPicture picture = decodeTaggedUpright(header, data, size, preview, error);
  return picture.image.isNull() ? QImage() : scaledThumbnail(picture, size);
}

QImage thumbnailImage(QByteArrayView data, QSize size, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  return header ? thumbnailImage(*header, data, size, preview, error) : notAPicture(error).image;
}

}  // namespace pimrose
