#include "codecs/picture_probe.h"

#include <QBuffer>
#include <QImageReader>

#include "codecs/heif_container.h"
#include "codecs/jpeg_file_header.h"

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

}  // namespace

PictureProbe::PictureProbe(std::shared_ptr<const OpenedFile> file, QString path)
    : file_(std::move(file)), path_(std::move(path)) {}

std::optional<PictureProbe> PictureProbe::open(const QString& path, QString* error) {
  std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return std::nullopt;
  return of(std::move(*file), path, error);
}

std::optional<PictureProbe> PictureProbe::of(OpenedFile file, const QString& path, QString* error) {
  PictureProbe probe(std::make_shared<const OpenedFile>(std::move(file)), path);
  if (!probe.readHeader()) {
    if (error) *error = QStringLiteral("not a readable picture: %1").arg(path);
    return std::nullopt;
  }
  return probe;
}

bool PictureProbe::readHeader() {
  start_ = file_->readAt(0, kHeaderProbe);
  headerBytes_ = start_;
  const PictureFormat format = sniffFormat(start_);
  std::optional<PictureHeader> header = readPictureHeader(start_, format);
  const bool cutShort = start_.size() < file_->size();
  // A JPEG segment cut by the first read after the frame header may hold the orientation or a
  // profile piece: the markers are walked in the file instead.
  if (header && !(cutShort && header->jpeg.metadataCut)) {
    header_ = *header;
    return true;
  }
  return cutShort && readHeaderBeyondStart(format);
}

// The rare header that does not fit the first read: a JPEG with large metadata blocks ahead of its
// frame header, a HEIF whose meta box follows its picture data, a JPEG XL whose codestream follows
// large metadata boxes, or a picture whose header Qt's plug-ins look for anywhere in the file.
bool PictureProbe::readHeaderBeyondStart(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      headerBytes_ = jpegHeaderSegments(*file_);
      if (headerBytes_.size() <= 2) return false;  // the start marker alone is no header
      break;
    case PictureFormat::Heif:  // walked box by box
      headerBytes_ = heifHeaderBoxes(*file_);
      if (headerBytes_.isEmpty()) return false;
      break;
    case PictureFormat::Other:
      if (!qtRecognises(start_)) return false;
      [[fallthrough]];
    case PictureFormat::Jxl:  // read whole: the decoder needs every byte anyway
      start_ = readFileBytes(*file_, path_);
      headerBytes_ = start_;
      break;
    case PictureFormat::Png:
    case PictureFormat::Gif:
      return false;  // their headers are at the very start
  }
  const std::optional<PictureHeader> header = readPictureHeader(headerBytes_, format);
  if (header) header_ = *header;
  return header.has_value();
}

BudgetedBytes PictureProbe::readAll(ReadBudget& budget, QString* error) const {
  return readFileBytesWithin(budget, *file_, path_, error, kMaxPictureFileBytes, start_);
}

QByteArray PictureProbe::heifThumbnailAlone() const {
  if (header_.format != PictureFormat::Heif || header_.heifThumbnail.item == 0) return {};
  return pimrose::heifThumbnailAlone(
      headerBytes_, header_.heifThumbnail.item,
      [this](qint64 offset, qint64 count) { return file_->readAt(offset, count); });
}

}  // namespace pimrose
