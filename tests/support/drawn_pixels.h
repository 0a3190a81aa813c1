#pragma once

#include <cstdlib>

#include <QColor>
#include <QImage>

namespace pimrose::test {

// How many pixels of a drawn image lie within `tolerance` (the sum of the three channel
// differences) of `colour`: the cores of text strokes drawn in that colour.
inline int pixelsNear(const QImage& drawn, const QColor& colour, int tolerance = 0) {
  int count = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) {
      const QRgb pixel = drawn.pixel(x, y);
      const int distance = std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green()) +
                           std::abs(qBlue(pixel) - colour.blue());
      count += distance <= tolerance;
    }
  return count;
}

}  // namespace pimrose::test
