#pragma once

#include <QSize>

// Sizes that follow from the icon-size slider.
//
// The icon size, trunc(5 x position + 150), is the thumbnail width; items are that wide and twice as
// tall (itemSizeForIconSize). A thumbnail is as wide as the icon size and keeps the picture's
// proportions.

namespace pimrose {

// The thumbnail width before the slider has given one (the width at slider position 0).
inline constexpr int kDefaultIconSize = 150;

int iconSizeForSliderPosition(int position);
QSize itemSizeForIconSize(int iconSize);

// trunc(H / W x iconSize) in double precision; 0 when the picture could not be measured (W is 0).
int thumbnailHeight(int width, int height, int iconSize);

}  // namespace pimrose
