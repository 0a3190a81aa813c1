#pragma once

#include <QByteArrayView>

namespace pimrose {

// What Pimrose needs from a JPEG's EXIF block: how to turn the stored pixels upright, and the
// embedded preview picture (a small JPEG) when the camera left one.
struct ExifFacts {
  int orientation = 1;     // 1..8 as in the EXIF standard; 1 when absent or out of range
  QByteArrayView preview;  // inside the caller's buffer; empty when there is none
};

// Reads the TIFF structure that follows "Exif\0\0" in an APP1 segment. Every offset is checked
// against the block, so a damaged block gives the defaults, never a read outside it.
ExifFacts parseExif(QByteArrayView tiff);

}  // namespace pimrose
