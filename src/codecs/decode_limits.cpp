#include "codecs/decode_limits.h"

#include <algorithm>
#include <cmath>

namespace pimrose {

QSize boundedThumbnailSize(QSize size) {
  const qint64 pixels = qint64(std::max(size.width(), 1)) * std::max(size.height(), 1);
  if (pixels <= kMaxThumbnailPixels) return size;
  const double scale = std::sqrt(double(kMaxThumbnailPixels) / double(pixels));
  return QSize(std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale)));
}

}  // namespace pimrose
