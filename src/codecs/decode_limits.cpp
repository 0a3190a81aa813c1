#include "codecs/decode_limits.h"

#include <algorithm>
#include <cmath>

namespace pimrose {

QSize boundedThumbnailSize(QSize size) {
  const double width = std::max(size.width(), 1), height = std::max(size.height(), 1);
  const double byPixels = std::sqrt(double(kMaxThumbnailPixels) / (width * height));
  const double bySide = double(kMaxPictureSide) / std::max(width, height);
  const double scale = std::min({1.0, byPixels, bySide});
  if (scale >= 1.0) return size;
  return QSize(std::max(1, int(width * scale)), std::max(1, int(height * scale)));
}

}  // namespace pimrose
