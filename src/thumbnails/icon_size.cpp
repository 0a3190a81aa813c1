#include "thumbnails/icon_size.h"

#include <algorithm>

namespace pimrose {

int iconSizeForSliderPosition(int position) {
  return int(5.0 * position + kDefaultIconSize);
}

QSize itemSizeForIconSize(int iconSize) {
  return QSize(iconSize, int(2.0 * iconSize));
}

QSize thumbnailSize(int width, int height, int iconSize) {
  if (width <= 0 || height <= 0 || iconSize <= 0) return QSize(0, 0);
  const QSize item = itemSizeForIconSize(iconSize);
  const double tall = double(height) / double(width) * iconSize;
  if (tall <= item.height()) return QSize(iconSize, std::max(1, int(tall)));
  return QSize(std::max(1, int(double(width) / double(height) * item.height())), item.height());
}

int thumbnailHeight(int width, int height, int iconSize) {
  return thumbnailSize(width, height, iconSize).height();
}

}  // namespace pimrose
