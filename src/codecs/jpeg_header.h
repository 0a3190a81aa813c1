#pragma once

#include <optional>

#include <QByteArrayView>
#include <QSize>

#include "codecs/exif.h"

namespace pimrose {

struct JpegHeader {
  QSize storedSize;  // as the pixels are stored, before the EXIF orientation
  int components = 0;
  bool progressive = false;
  ExifFacts exif;
};

// Walks the markers up to the first scan; no pixel is decoded. nullopt when the data is not a
// JPEG or ends before its frame header.
std::optional<JpegHeader> readJpegHeader(QByteArrayView data);

}  // namespace pimrose
