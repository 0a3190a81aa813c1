#include "codecs/jpeg_header.h"

#include <algorithm>

#include "codecs/jpeg_markers.h"
#include "codecs/picture_format.h"
#include "codecs/probe_counts.h"

namespace pimrose {
namespace {

using namespace jpeg;

// Blocks of 8 x 8 coefficients of 2 bytes for each component, at its sampling.
qint64 coefficientBytes(QByteArrayView segment, QSize size, int components) {
  if (segment.size() < 6 + 3 * components) return 0;
  int hMax = 1, vMax = 1;
  for (int c = 0; c < components; ++c) {
    hMax = std::max(hMax, quint8(segment[7 + 3 * c]) >> 4);
    vMax = std::max(vMax, quint8(segment[7 + 3 * c]) & 15);
  }
  const auto blocks = [](qint64 side, int factor, int maxFactor) {
    return ((side * factor + maxFactor - 1) / maxFactor + 7) / 8;
  };
  qint64 bytes = 0;
  for (int c = 0; c < components; ++c) {
    const int h = std::max(1, quint8(segment[7 + 3 * c]) >> 4),
              v = std::max(1, quint8(segment[7 + 3 * c]) & 15);
    bytes += blocks(size.width(), h, hMax) * blocks(size.height(), v, vMax) * 64 * 2;
  }
  return bytes;
}

void readFrame(QByteArrayView segment, quint8 marker, JpegHeader& header) {
  if (segment.size() < 6) return;
  header.storedSize =
      QSize(int(readBigEndian16(segment.data() + 3)), int(readBigEndian16(segment.data() + 1)));
  header.components = quint8(segment[5]);
  header.progressive = isProgressive(marker);
  header.coefficientBytes = coefficientBytes(segment, header.storedSize, header.components);
  header.multiScan = true;  // until a first scan that carries every component says otherwise
}

// A first scan that carries fewer components than the frame means more scans follow.
void readFirstScan(QByteArrayView data, qsizetype at, JpegHeader& header) {
  const int scanComponents = at + 2 < data.size() ? quint8(data[at + 2]) : 0;
  header.multiScan = header.progressive || scanComponents < header.components;
}

void readApp1(QByteArrayView segment, JpegHeader& header) {
  if (segment.startsWith(QByteArrayView("Exif\0\0", 6))) header.exif = parseExif(segment.sliced(6));
}

}  // namespace

std::optional<JpegHeader> readJpegHeader(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  if (!startsLikeJpeg(data)) return std::nullopt;
  JpegHeader header;
  qsizetype at = 2;
  while ((at = nextMarker(data, at)) >= 0) {
    const quint8 marker = quint8(data[at + 1]);
    at += 2;
    if (hasNoLength(marker)) continue;
    if (marker == kStartOfScan) readFirstScan(data, at, header);
    if (marker == kStartOfScan || marker == kEndOfImage) break;
    if (at + 2 > data.size() || at + readBigEndian16(data.data() + at) > data.size()) {
      header.metadataCut = marker == kApp1 || marker == kApp2;  // what it holds lies beyond the data
      break;
    }
    const qsizetype length = readBigEndian16(data.data() + at);
    if (length < 2) break;
    const QByteArrayView segment = data.sliced(at + 2, length - 2);
    if (isFrameMarker(marker)) readFrame(segment, marker, header);
    if (marker == kApp1 && header.exif.orientation == 1 && header.exif.preview.isEmpty())
      readApp1(segment, header);
    if (marker == kApp2 && segment.startsWith(QByteArrayView("ICC_PROFILE\0", 12)))
      header.iccChunks.append(segment);
    at += length;
  }
  if (header.storedSize.isEmpty()) return std::nullopt;
  return header;
}

}  // namespace pimrose
