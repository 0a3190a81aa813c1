#include "ui/image_bytes.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMutex>

#include "codecs/png_decode.h"

namespace pimrose::ui {
namespace {

const char* formatOf(const QByteArray& bytes) {
  if (bytes.startsWith("\x89PNG\r\n\x1a\n")) return "PNG";
  if (bytes.startsWith("\xff\xd8\xff")) return "JPEG";
  if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) return "GIF";
  if (bytes.startsWith("BM")) return "BMP";
  return nullptr;
}

QImage readImageFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return decodeImageBytes(file.readAll());
}

}  // namespace

// Even a named format has Qt ask every plugin whether it reads that format, unless detection is off:
// then only a plugin of that name is loaded, and PNG, GIF and BMP go straight to Qt's own decoders.
QImage decodeImageBytes(const QByteArray& bytes) {
  if (bytes.isEmpty()) return {};
  const char* format = formatOf(bytes);
  if (!format) return QImage::fromData(bytes);
  if (qstrcmp(format, "PNG") == 0) return decodePng(bytes, {}, nullptr);
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

// The same logo sits in several picture boxes of several windows; resources cannot change while
// the program runs, so each is decoded once and shared (QImage copies share their pixels).
QImage decodeImageFile(const QString& path) {
  if (!path.startsWith(QStringLiteral(":/"))) return readImageFile(path);
  static QMutex mutex;
  static QHash<QString, QImage> decoded;
  const QMutexLocker lock(&mutex);
  auto found = decoded.constFind(path);
  if (found == decoded.constEnd()) found = decoded.insert(path, readImageFile(path));
  return *found;
}

}  // namespace pimrose::ui
