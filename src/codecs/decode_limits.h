#pragma once

#include <QSize>

namespace pimrose {

// No picture side beyond this is believed: JPEG stops at 65500 and GIF at 65535, and a PNG that
// claims more is far more likely damaged or hostile than real.
constexpr int kMaxPictureSide = 65535;

// A full decode holds 4 bytes per pixel: 100 million pixels is 400 MB, the most the viewer may ask
// for. Thumbnails of larger pictures are still made where the decoder can reduce while reading.
constexpr qint64 kMaxDecodedPixels = 100'000'000;

// A moving picture is composited on a canvas of its own size for as long as it plays, beside the
// frames made from it and the area a frame asks to be restored: a quarter of the full-decode limit
// (25 million pixels, a 100 MB canvas) keeps all of that near what one still picture may take. A
// larger moving picture shows its first frame, still.
constexpr qint64 kMaxAnimationPixels = kMaxDecodedPixels / 4;

// A made thumbnail holds at most 16 million pixels (64 MB) and no side above kMaxPictureSide: a
// larger requested size is reduced, its proportions kept. Icons are a few hundred pixels wide, and the
// picture at its own size (both sides left out) stays as asked for every camera picture up to 16 megapixels.
constexpr qint64 kMaxThumbnailPixels = 16'000'000;

inline bool isBelievableSize(QSize size) {
  return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
         size.height() <= kMaxPictureSide;
}
inline bool fitsDecodeLimit(QSize size) {
  return qint64(size.width()) * size.height() <= kMaxDecodedPixels;
}

// `size` reduced, proportions kept, until it fits both thumbnail bounds (sides at least 1).
QSize boundedThumbnailSize(QSize size);

}  // namespace pimrose
