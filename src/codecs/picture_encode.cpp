#include "codecs/picture_encode.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include "codecs/gif_encode.h"

namespace pimrose {
namespace {

constexpr int kJpegQuality = 90;

QByteArray encodeWithQt(const QImage& image, const char* format) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (qstrcmp(format, "jpeg") == 0) writer.setQuality(kJpegQuality);
  return writer.write(image) ? out : QByteArray();
}

}  // namespace

QByteArray encodePicture(const QImage& image, EncodedFormat format) {
  if (image.isNull()) return {};
  switch (format) {
    case EncodedFormat::Bmp:
      return encodeWithQt(image, "bmp");
    case EncodedFormat::Jpeg:
      return encodeWithQt(image.convertToFormat(QImage::Format_RGB32), "jpeg");
    case EncodedFormat::Gif:
      return encodeGif(image);
    case EncodedFormat::Tiff:
      return encodeWithQt(image, "tiff");
    case EncodedFormat::Png:
      return encodeWithQt(image, "png");
  }
  return {};
}

QImage flattenedOnWhite(const QImage& image) {
  QImage flat(image.size(), QImage::Format_RGB32);
  if (flat.isNull()) return {};
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image);
  return flat;
}

}  // namespace pimrose
