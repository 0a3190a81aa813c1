#include "codecs/jpeg_header.h"

#include "codecs/jpeg_markers.h"
#include "codecs/picture_format.h"

namespace pimrose {
namespace {

using namespace jpeg;

void readFrame(QByteArrayView segment, quint8 marker, JpegHeader& header) {
  if (segment.size() < 6) return;
  header.storedSize =
      QSize(int(readBigEndian16(segment.data() + 3)), int(readBigEndian16(segment.data() + 1)));
  header.components = quint8(segment[5]);
  header.progressive = isProgressive(marker);
}

void readApp1(QByteArrayView segment, JpegHeader& header) {
  if (segment.startsWith(QByteArrayView("Exif\0\0", 6))) header.exif = parseExif(segment.sliced(6));
}

}  // namespace

std::optional<JpegHeader> readJpegHeader(QByteArrayView data) {
  if (sniffFormat(data) != PictureFormat::Jpeg) return std::nullopt;
  JpegHeader header;
  qsizetype at = 2;
  while (at + 1 < data.size()) {
    if (quint8(data[at]) != 0xFF) return std::nullopt;
    const quint8 marker = quint8(data[at + 1]);
    at += 2;
    if (marker == 0xFF) {
      --at;
      continue;
    }  // fill byte before a marker
    if (hasNoLength(marker)) continue;
    if (marker == kStartOfScan || marker == kEndOfImage || at + 2 > data.size()) break;
    const qsizetype length = readBigEndian16(data.data() + at);
    if (length < 2 || at + length > data.size()) break;
    const QByteArrayView segment = data.sliced(at + 2, length - 2);
    if (isFrameMarker(marker)) readFrame(segment, marker, header);
    if (marker == kApp1 && header.exif.orientation == 1 && header.exif.preview.isEmpty())
      readApp1(segment, header);
    at += length;
  }
  if (header.storedSize.isEmpty()) return std::nullopt;
  return header;
}

}  // namespace pimrose
