#include "codecs/decode_picture.h"

#include "codecs/colour_profile.h"
#include "codecs/embedded_colour.h"
#include "codecs/jpeg_decode.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"
#include "codecs/upright_png.h"

namespace pimrose {
namespace {

struct StoredPixels {
  QImage pixels;
  int orientation = 1;
};

// A JPEG as stored, three bytes a pixel (four when its colours must be converted), with the
// orientation that turns it upright; anything else upright already. In sRGB either way. Probed
// first: a file that is no picture is turned away before it is read whole.
StoredPixels decodeStored(const QString& path, QString* error) {
  const std::optional<PictureProbe> probe = PictureProbe::open(path, error);
  if (!probe) return {};
  const BudgetedBytes read = probe->readAll(sharedReadBudget(), error);
  if (read.bytes.isEmpty()) return {};
  const PictureHeader& header = probe->header();
  if (header.format != PictureFormat::Jpeg)
    return {decodeUpright(header, read.bytes, QSize(), PreviewUse::Refused, error), 1};
  QImage stored = decodeJpeg(read.bytes, header.jpeg, QSize(), error, JpegPixels::ThreeBytes);
  return {convertedToSrgb(std::move(stored), jpegColourProfile(header.jpeg.iccChunks)), header.orientation};
}

}  // namespace

QImage decodePicture(const QString& path, QString* error) {
  // Measured first: a file that is no picture is turned away before it is read whole.
  const std::optional<PictureProbe> probe = PictureProbe::open(path, error);
  if (!probe) return {};
  const BudgetedBytes read = probe->readAll(sharedReadBudget(), error);
  if (read.bytes.isEmpty()) return {};
  return decodeUpright(probe->header(), read.bytes, QSize(), PreviewUse::Refused, error);
}

// The file's bytes are let go before the encoding starts; the pixels go as soon as it ends.
QByteArray uprightPng(const QString& path, QString* error) {
  QByteArray png;
  {
    const StoredPixels stored = decodeStored(path, error);
    if (stored.pixels.isNull()) return {};
    png = encodeUprightPng(stored.pixels, stored.orientation);
  }
  if (png.isEmpty() && error) *error = QStringLiteral("could not encode the picture as PNG");
  return png;
}

}  // namespace pimrose
