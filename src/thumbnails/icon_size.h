#pragma once

#include <QSize>

// Sizes that follow from the icon-size slider.
//
// The icon size, trunc(5 x position + 150), is the thumbnail width; items are that wide and twice as
// tall (itemSizeForIconSize). A thumbnail keeps the picture's proportions and always fits inside its
// item: as wide as the icon size when that leaves it no taller than the item, otherwise as tall as
// the item and narrower. Without that bound a 1 x 10000 strip would ask for a 150 x 1,500,000
// thumbnail (900 MB).

namespace pimrose {

// The thumbnail width before the slider has given one (the width at slider position 0).
inline constexpr int kDefaultIconSize = 150;

int iconSizeForSliderPosition(int position);
QSize itemSizeForIconSize(int iconSize);

// The thumbnail of a width x height picture: inside iconSize x 2*iconSize, proportions kept
// (truncated, each side at least 1). Empty when the picture could not be measured or the icon
// size is below 1.
QSize thumbnailSize(int width, int height, int iconSize);

// thumbnailSize's height; 0 when the picture could not be measured (W is 0).
int thumbnailHeight(int width, int height, int iconSize);

}  // namespace pimrose
