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

// Stray bytes between markers are looked through a block at a time, up to this many blocks.
constexpr qint64 kStrayBlock = 4096;
constexpr int kMaxStrayBlocks = 64;

// A colour profile is cut into at most 255 APP2 pieces; more are no profile.
constexpr int kMaxProfilePieces = 255;

bool isExifBlock(const QByteArray& segment) {
  return segment.mid(4, 6) == QByteArrayView("Exif\0\0", 6);
}

bool isProfilePiece(const QByteArray& segment) {
  return segment.mid(4, 12) == QByteArrayView("ICC_PROFILE\0", 12);
}

struct MarkerHead {
  qint64 at = -1;
  QByteArray head;  // the marker and, where it has one, its length: four bytes
};

// The next marker from `at`, passing over what the in-memory walk passes over; none when the file
// ends first (or after a quarter megabyte of stray bytes). Nearly always it stands right at `at`.
MarkerHead nextMarkerIn(const OpenedFile& file, qint64 at) {
  QByteArray head = file.readAt(at, 4);
  if (nextMarker(head, 0) == 0) return {at, head};
  for (int block = 0; block < kMaxStrayBlocks; ++block) {
    const QByteArray bytes = file.readAt(at, kStrayBlock);
    if (bytes.size() < 2) return {};
    const qsizetype found = nextMarker(bytes, 0);
    if (found >= 0) return {at + found, file.readAt(at + found, 4)};
    at += bytes.size() - 1;  // its last byte may be an FF whose pair follows
  }
  return {};
}

}  // namespace

QByteArray jpegHeaderSegments(const OpenedFile& file) {
  if (!startsLikeJpeg(file.readAt(0, 2))) return {};
  QByteArray condensed("\xFF\xD8", 2);
  bool exifDecided = false;
  int profilePieces = 0;
  qint64 at = 2;
  for (int step = 0; step < kMaxSteps; ++step) {
    const MarkerHead next = nextMarkerIn(file, at);
    if (next.at < 0) break;
    at = next.at;
    const QByteArray& head = next.head;
    const quint8 marker = quint8(head[1]);
    if (hasNoLength(marker)) {
      at += 2;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage || head.size() < 4) break;
    const qint64 length = readBigEndian16(head.constData() + 2);
    if (length < 2) break;
    // Kept: every frame header, the EXIF blocks up to the first that says something and the pieces
    // of the colour profile, which is what the walk over a whole file takes from them.
    const bool profilePiece =
        marker == kApp2 && profilePieces < kMaxProfilePieces && isProfilePiece(file.readAt(at, 16));
    if (isFrameMarker(marker) || (marker == kApp1 && !exifDecided) || profilePiece) {
      const QByteArray segment = file.readAt(at, 2 + length);
      if (segment.size() != 2 + length) break;
      if (marker == kApp1 && isExifBlock(segment)) {
        const ExifFacts facts = parseExif(QByteArrayView(segment).sliced(10));
        exifDecided = facts.orientation != 1 || !facts.preview.isEmpty();
        condensed += segment;
      } else if (profilePiece) {
        ++profilePieces;
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
