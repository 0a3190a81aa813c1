#include "codecs/picture_header.h"

#include <QBuffer>
#include <QImageReader>

#include "codecs/decode_limits.h"
#include "codecs/gif_decode.h"
#include "codecs/heif_container.h"
#include "codecs/jxl_decode.h"
#include "codecs/plugin_decode.h"
#include "codecs/png_decode.h"
#include "codecs/probe_counts.h"

namespace pimrose {
namespace {

std::optional<PictureHeader> jpegHeader(QByteArrayView data) {
  const std::optional<JpegHeader> jpeg = readJpegHeader(data);
  if (!jpeg) return std::nullopt;
  return PictureHeader{PictureFormat::Jpeg,
                       jpeg->storedSize,
                       jpeg->exif.orientation,
                       jpeg->exif.preview,
                       jpeg->progressive,
                       *jpeg,
                       {}};
}

PictureHeader plainHeader(PictureFormat format, QSize size) {
  return PictureHeader{format, size, 1, {}, false, {}, {}};
}

std::optional<PictureHeader> sizedHeader(PictureFormat format, std::optional<QSize> size) {
  return size ? std::optional(plainHeader(format, *size)) : std::nullopt;
}

// BMP, TIFF, WebP and the rest: Qt's plugins read their headers.
std::optional<PictureHeader> otherHeader(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid()) return std::nullopt;
  PictureHeader header = plainHeader(PictureFormat::Other, size);
  header.orientation = orientationOf(reader.transformation());
  return header;
}

std::optional<PictureHeader> heifHeader(QByteArrayView data) {
  const std::optional<HeifSizes> sizes = heifSizes(data);
  if (!sizes) return std::nullopt;
  PictureHeader header = plainHeader(PictureFormat::Heif, sizes->shown);
  header.heifThumbnail = sizes->thumbnail;
  return header;
}

std::optional<PictureHeader> anyHeader(QByteArrayView data, PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg:
      return jpegHeader(data);
    case PictureFormat::Png:
      return sizedHeader(PictureFormat::Png, pngStoredSize(data));
    case PictureFormat::Gif:
      return sizedHeader(PictureFormat::Gif, gifCanvasSize(data));
    case PictureFormat::Heif:  // sizes as shown: the decoders turn these pictures themselves
      return heifHeader(data);
    case PictureFormat::Jxl:
      return sizedHeader(PictureFormat::Jxl, jxlShownSize(data));
    case PictureFormat::Other:
      return otherHeader(data);
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureHeader> readPictureHeader(QByteArrayView data) {
  if (data.isEmpty()) return std::nullopt;
  return readPictureHeader(data, sniffFormat(data));
}

std::optional<PictureHeader> readPictureHeader(QByteArrayView data, PictureFormat format) {
  if (data.isEmpty()) return std::nullopt;
  std::optional<PictureHeader> header = anyHeader(data, format);
  if (!header || !isBelievableSize(header->storedSize)) return std::nullopt;
  return header;
}

}  // namespace pimrose
