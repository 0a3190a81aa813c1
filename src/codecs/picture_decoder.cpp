#include "codecs/picture_decoder.h"

#include <QColorSpace>

#include "codecs/colour_profile.h"
#include "codecs/decode_limits.h"
#include "codecs/embedded_colour.h"
#include "codecs/gif_decode.h"
#include "codecs/heif_decode.h"
#include "codecs/jpeg_decode.h"
#include "codecs/jpeg_header.h"
#include "codecs/jxl_decode.h"
#include "codecs/picture_header.h"
#include "codecs/plugin_decode.h"
#include "codecs/png_decode.h"

namespace pimrose {
namespace {

QSize storedTarget(QSize uprightTarget, int orientation) {
  return swapsSides(orientation) ? uprightTarget.transposed() : uprightTarget;
}

ColourProfile jpegColour(QByteArrayView data) {
  const std::optional<JpegHeader> header = readJpegHeader(data);
  return header ? jpegColourProfile(header->iccChunks) : ColourProfile();
}

// The colours are those of the bytes decoded: the embedded preview's own, when it stood in.
TaggedPicture decodeJpegUpright(QByteArrayView data, const PictureHeader& header, QSize atLeast,
                                PreviewUse preview, QString* error) {
  const QSize target = storedTarget(atLeast, header.orientation);
  QByteArrayView decoded = data;
  QImage stored;
  if (preview == PreviewUse::Allowed && !header.preview.isEmpty())
    stored = decodeJpeg(header.preview, target, nullptr);
  if (stored.isNull())
    stored = decodeJpeg(data, target, error);
  else
    decoded = header.preview;
  if (stored.isNull()) return {};
  return {applyOrientation(stored, header.orientation), jpegColour(decoded)};
}

// Qt's plugins read a WebP's or TIFF's profile into the image's colour space; once converted the
// pixels are sRGB.
TaggedPicture pluginPicture(QImage image) {
  const QColorSpace space = image.colorSpace();
  if (!space.isValid()) return {image, {}};
  image.setColorSpace(QColorSpace(QColorSpace::SRgb));
  return {image, ColourProfile::fromIcc(space.iccProfile())};
}

TaggedPicture pngPicture(QByteArrayView data, QSize atLeast, QString* error) {
  const QImage image = decodePng(data, atLeast, error);
  return {image, image.isNull() ? ColourProfile() : pngColourProfile(data)};
}

// The picture upright, its pixels as stored, and the profile they are in.
TaggedPicture decodeTagged(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  if (!header) {
    if (error) *error = QStringLiteral("not a picture, or its header is damaged");
    return {};
  }
  switch (header->format) {
    case PictureFormat::Jpeg:
      return decodeJpegUpright(data, *header, atLeast, preview, error);
    case PictureFormat::Png:
      return pngPicture(data, atLeast, error);
    case PictureFormat::Gif:
      return {decodeGif(data, atLeast, error), {}};
    case PictureFormat::Heif:
      return decodeHeif(data, atLeast, error);
    case PictureFormat::Jxl:
      return decodeJxl(data, atLeast, error);
    case PictureFormat::Other:
      return pluginPicture(decodeWithPlugin(data, atLeast, error));
  }
  return {};
}

}  // namespace

QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error) {
  TaggedPicture picture = decodeTagged(data, atLeast, preview, error);
  return convertedToSrgb(std::move(picture.image), picture.colour);
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
  const TaggedPicture picture = decodeTagged(data, size, preview, error);
  if (picture.image.isNull()) return {};
  // Smooth scaling of palette or 16-bit images point-samples; 32-bit formats average properly.
  QImage wide = picture.image.convertToFormat(
      picture.image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  if (wide.size() != size) wide = wide.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // Colours are converted last, on the fewest pixels.
  return convertedToSrgb(std::move(wide), picture.colour);
}

}  // namespace pimrose
