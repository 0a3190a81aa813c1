#pragma once

#include <QSize>

namespace pimrose {

// No picture side beyond this is believed: JPEG stops at 65500 and GIF at 65535, and a PNG that
// claims more is far more likely damaged or hostile than real.
constexpr int kMaxPictureSide = 65535;

// A full decode holds 4 bytes per pixel: 100 million pixels is 400 MB, the most the viewer may ask
// for. Thumbnails of larger pictures are still made where the decoder can reduce while reading.
constexpr qint64 kMaxDecodedPixels = 100'000'000;

inline bool isBelievableSize(QSize size) {
  return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
         size.height() <= kMaxPictureSide;
}
inline bool fitsDecodeLimit(QSize size) {
  return qint64(size.width()) * size.height() <= kMaxDecodedPixels;
}

}  // namespace pimrose
