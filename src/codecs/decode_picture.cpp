#include "codecs/decode_picture.h"

#include "codecs/file_reading.h"
#include "codecs/jpeg_decode.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"
#include "codecs/picture_size.h"
#include "codecs/png_encode.h"

namespace pimrose {
namespace {

// The whole file, once its header shows a picture. Opened once for both steps: on a slow share
// every open and look-up waits. Measured first: a file that is no picture is turned away before it
// is read whole.
BudgetedBytes readPictureFile(const QString& path, QString* error) {
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file || pictureSize(*file, path, error).isEmpty()) return {};
  return readFileBytesWithin(sharedReadBudget(), *file, path, error);
}

struct StoredPixels {
  QImage pixels;
  int orientation = 1;
};

// A JPEG as stored, three bytes a pixel, with the orientation that turns it upright; anything else
// upright already.
StoredPixels decodeStored(const QString& path, QString* error) {
  const BudgetedBytes read = readPictureFile(path, error);
  if (read.bytes.isEmpty()) return {};
  const std::optional<PictureHeader> header = readPictureHeader(read.bytes);
  if (header && header->format == PictureFormat::Jpeg)
    return {decodeJpeg(read.bytes, QSize(), error, JpegPixels::ThreeBytes), header->orientation};
  return {decodeUpright(read.bytes, QSize(), PreviewUse::Refused, error), 1};
}

}  // namespace

QImage decodePicture(const QString& path, QString* error) {
  const BudgetedBytes read = readPictureFile(path, error);
  if (read.bytes.isEmpty()) return {};
  return decodeUpright(read.bytes, QSize(), PreviewUse::Refused, error);
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
