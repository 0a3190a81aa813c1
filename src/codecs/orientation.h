#pragma once

#include <QImage>
#include <QSize>

namespace pimrose {

// The EXIF orientations 5 to 8 store the picture on its side.
inline bool swapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

inline QSize uprightSize(QSize stored, int orientation) {
  return swapsSides(orientation) ? stored.transposed() : stored;
}

// Turns stored pixels upright: 2 mirror, 3 half turn, 4 flip, 5 transpose, 6 quarter turn
// clockwise, 7 transverse, 8 quarter turn anticlockwise.
QImage applyOrientation(const QImage& stored, int orientation);

}  // namespace pimrose
