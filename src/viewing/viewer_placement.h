#pragma once

#include <QRect>
#include <QSize>

// Where the viewer puts its picture box and what it asks the decoder for. No widgets: the
// viewer feeds in the box, the frame and the picture's upright pixel size.
namespace pimrose {

// Fit state: the box covers the frame exactly; any other box size is the natural state.
inline bool isFitState(QRect box, QSize frame) {
  return box.size() == frame;
}

// The box after the fit/natural toggle. From the fit state a picture larger than the frame in
// either direction goes to its own size, centred horizontally; a taller picture shows its top
// edge, a shorter one is centred vertically too. A picture that fits (or measures 0 x 0) leaves
// the box alone. From any other state the box returns to the frame.
QRect toggledBox(QRect box, QSize frame, QSize picture);

// The item a wheel step lands on in a list of `count` items whose current item is `current`
// (-1 for none): a step down (delta < 0) goes to the next item, up to the previous one, and
// both stop at the ends instead of wrapping. -1 for an empty list.
int wheelStepTarget(int current, int count, int delta);

// The pixel size worth decoding to show `picture` in `box`: the picture scaled down to fit
// (never up). A picture beyond the full-decode limit is reduced so that any decode covering the
// target stays within the limit. Empty when the picture size is unknown.
QSize decodeTarget(QSize picture, QSize box);

}  // namespace pimrose
