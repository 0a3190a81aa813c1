#include "codecs/rgba_rows.h"

#include <algorithm>
#include <cstring>

#include "codecs/box_reducer.h"

namespace pimrose {

QImage imageFromRgbaRows(const uchar* rows, qsizetype stride, QSize size, bool opaque, QSize atLeast) {
  const int factor = BoxReducer::factorCovering(size, atLeast);
  if (factor > 1) {
    BoxReducer reducer(size.width(), size.height(), factor);
    for (int y = 0; y < size.height() && !reducer.result().isNull(); ++y) reducer.addRow(rows + y * stride);
    return reducer.result();
  }
  QImage image(size, opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);
  if (image.isNull()) return image;
  const size_t rowBytes = size_t(size.width()) * 4;
  for (int y = 0; y < size.height(); ++y) std::memcpy(image.scanLine(y), rows + y * stride, rowBytes);
  return image;
}

}  // namespace pimrose
