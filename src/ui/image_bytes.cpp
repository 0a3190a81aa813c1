#include "ui/image_bytes.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageReader>

#include <mutex>

#include "codecs/picture_format.h"
#include "codecs/png_decode.h"

namespace pimrose::ui {
namespace {

QImage readImageFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return decodeImageBytes(file.readAll());
}

}  // namespace

// PNGs go to the codecs' reader, which needs no application object (the logo is decoded while the
// application is being made). Even a named format has Qt ask every plugin whether it reads that
// format, unless detection is off: then only a plugin of that name is loaded, and GIF and BMP go
// straight to Qt's own decoders.
QImage decodeImageBytes(const QByteArray& bytes) {
  if (bytes.isEmpty()) return {};
  const PictureFormat sniffed = sniffFormat(bytes);
  if (sniffed == PictureFormat::Png) return decodePng(bytes, {}, nullptr);
  const char* format = sniffed == PictureFormat::Jpeg  ? "JPEG"
                       : sniffed == PictureFormat::Gif ? "GIF"
                       : bytes.startsWith("BM")        ? "BMP"
                                                       : nullptr;
  if (!format) return QImage::fromData(bytes);
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

// The same logo sits in several picture boxes of several windows; resources cannot change while
// the program runs, so each is decoded once and shared (QImage copies share their pixels). The
// start-up warm-up decodes it on a thread of its own; a standard mutex hands it over where
// ThreadSanitizer sees it.
QImage decodeImageFile(const QString& path) {
  if (!path.startsWith(QStringLiteral(":/"))) return readImageFile(path);
  static std::mutex mutex;
  static QHash<QString, QImage> decoded;
  const std::lock_guard lock(mutex);
  auto found = decoded.constFind(path);
  if (found == decoded.constEnd()) found = decoded.insert(path, readImageFile(path));
  return *found;
}

}  // namespace pimrose::ui
