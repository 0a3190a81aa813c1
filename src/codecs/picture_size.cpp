#include "codecs/picture_size.h"

#include <QBuffer>
#include <QImageReader>

#include "codecs/file_reading.h"
#include "codecs/heif_container.h"
#include "codecs/jpeg_file_header.h"
#include "codecs/picture_header.h"

namespace pimrose {
namespace {

// Headers almost always sit in the first 64 KiB.
constexpr qint64 kHeaderProbe = 64 * 1024;

// Whether one of Qt's plug-ins claims the data by its first bytes (BMP, TIFF, WebP...).
bool qtRecognises(const QByteArray& start) {
  QByteArray bytes = start;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return !QImageReader::imageFormat(&buffer).isEmpty();
}

std::optional<QSize> measureBeyondProbe(const OpenedFile& file, const QString& path,
                                        const QByteArray& start) {
  std::optional<PictureHeader> header;
  switch (sniffFormat(start)) {
    case PictureFormat::Jpeg: {
      // The start marker alone would be handed to Qt's plug-ins as an unknown format.
      const QByteArray segments = jpegHeaderSegments(file);
      if (segments.size() > 2) header = readPictureHeader(segments);
      break;
    }
    case PictureFormat::Heif:  // the meta box after the picture data
      header = readPictureHeader(heifHeaderBoxes(file));
      break;
    case PictureFormat::Jxl:  // the codestream after large metadata boxes
      header = readPictureHeader(readFileBytes(file, path));
      break;
    case PictureFormat::Other:
      if (qtRecognises(start)) header = readPictureHeader(readFileBytes(path));
      break;
    case PictureFormat::Png:
    case PictureFormat::Gif:
      break;  // their headers are at the very start
  }
  return header ? std::optional(header->upright()) : std::nullopt;
}

}  // namespace

QSize pictureSize(const QString& path, QString* error) {
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return QSize(0, 0);
  return pictureSize(*file, path, error);
}

QSize pictureSize(const OpenedFile& file, const QString& path, QString* error) {
  const QByteArray start = file.readAt(0, kHeaderProbe);
  if (const std::optional<PictureHeader> header = readPictureHeader(start)) return header->upright();
  if (start.size() < file.size()) {
    if (const std::optional<QSize> size = measureBeyondProbe(file, path, start)) return *size;
  }
  if (error) *error = QStringLiteral("not a readable picture: %1").arg(path);
  return QSize(0, 0);
}

}  // namespace pimrose
