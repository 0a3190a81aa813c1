#pragma once

#include <optional>

#include <QList>

#include <QByteArrayView>
#include <QSize>

#include "codecs/exif.h"

namespace pimrose {

struct JpegHeader {
  QSize storedSize;  // as the pixels are stored, before the EXIF orientation
  int components = 0;
  bool progressive = false;
  bool multiScan = false;       // several scans (progressive, one component a scan, or no scan seen)
  qint64 coefficientBytes = 0;  // the DCT coefficients of the whole picture, as libjpeg holds them
  ExifFacts exif;
  QList<QByteArrayView> iccChunks;  // APP2 "ICC_PROFILE" segments in file order, inside the caller's buffer
  // The data ended inside an EXIF or profile segment after the frame header: what that segment
  // holds (an orientation, a profile piece) is missing, though the size is known.
  bool metadataCut = false;
};

// A picture sent in several scans is decoded with all its DCT coefficients in memory (2 bytes a
// sample, whatever the output scale), so a 300-byte progressive JPEG claiming 40000 x 57000 pixels
// would cost 6 GB. 400 MiB covers 130-megapixel 4:2:0 and 65-megapixel 4:4:4 pictures.
constexpr qint64 kMaxJpegCoefficientBytes = 400LL * 1024 * 1024;

inline bool exceedsCoefficientLimit(const JpegHeader& header) {
  return header.multiScan && header.coefficientBytes > kMaxJpegCoefficientBytes;
}

// Walks the markers up to the first scan; no pixel is decoded. nullopt when the data is not a
// JPEG or ends before its frame header.
std::optional<JpegHeader> readJpegHeader(QByteArrayView data);

}  // namespace pimrose
