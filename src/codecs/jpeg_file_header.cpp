#include "codecs/jpeg_file_header.h"

#include "codecs/exif.h"
#include "codecs/file_reading.h"
#include "codecs/jpeg_markers.h"
#include "codecs/picture_format.h"

namespace pimrose {
namespace {

using namespace jpeg;

// Real files have a few dozen segments before the first scan; a long run of fill bytes or empty
// segments is garbage and is not walked to its end.
constexpr int kMaxSteps = 4096;

bool isExifBlock(const QByteArray& segment) {
  return segment.mid(4, 6) == QByteArrayView("Exif\0\0", 6);
}

}  // namespace

QByteArray jpegHeaderSegments(const OpenedFile& file) {
  if (sniffFormat(file.readAt(0, 3)) != PictureFormat::Jpeg) return {};
  QByteArray condensed("\xFF\xD8", 2);
  bool exifDecided = false;
  qint64 at = 2;
  for (int step = 0; step < kMaxSteps; ++step) {
    const QByteArray head = file.readAt(at, 4);
    if (head.size() < 2) break;
    if (quint8(head[0]) != kFill) return {};  // garbage where a marker belongs: not a JPEG we trust
    const quint8 marker = quint8(head[1]);
    if (marker == kFill) {  // fill byte before a marker
      ++at;
      continue;
    }
    if (hasNoLength(marker)) {
      at += 2;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage || head.size() < 4) break;
    const qint64 length = readBigEndian16(head.constData() + 2);
    if (length < 2) break;
    // Kept: every frame header and the EXIF blocks up to the first that says something, which is
    // what the walk over a whole file takes from them.
    if (isFrameMarker(marker) || (marker == kApp1 && !exifDecided)) {
      const QByteArray segment = file.readAt(at, 2 + length);
      if (segment.size() != 2 + length) break;
      if (marker == kApp1 && isExifBlock(segment)) {
        const ExifFacts facts = parseExif(QByteArrayView(segment).sliced(10));
        exifDecided = facts.orientation != 1 || !facts.preview.isEmpty();
        condensed += segment;
      } else if (marker != kApp1) {
        condensed += segment;
      }
    }
    at += 2 + length;
  }
  return condensed;
}

}  // namespace pimrose
