#pragma once

#include <QByteArray>
#include <QImage>

namespace pimrose {

// A single-frame GIF89a of the picture: median-cut palette of up to 256 colours (255 and one
// transparent index when any pixel is less than half opaque). Empty on failure.
QByteArray encodeGif(const QImage& image);

}  // namespace pimrose
