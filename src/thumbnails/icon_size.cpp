#include "thumbnails/icon_size.h"

namespace pimrose {

int iconSizeForSliderPosition(int position) {
  return int(5.0 * position + kDefaultIconSize);
}

QSize itemSizeForIconSize(int iconSize) {
  return QSize(iconSize, int(2.0 * iconSize));
}

int thumbnailHeight(int width, int height, int iconSize) {
  if (width <= 0) return 0;
  return int(double(height) / double(width) * iconSize);
}

}  // namespace pimrose
