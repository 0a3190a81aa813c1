#pragma once

#include <QImage>
#include <QSize>

namespace pimrose {

// A picture a library decoded into rows of 8-bit RGBA (straight alpha) in a buffer of its own,
// as the decoders answer it: with an `atLeast` size reduced while the rows are read by the
// largest whole factor that still covers it (Format_ARGB32_Premultiplied), otherwise copied whole
// (Format_RGBA8888, or RGBX8888 when `opaque`). Null when the memory is not there.
QImage imageFromRgbaRows(const uchar* rows, qsizetype stride, QSize size, bool opaque, QSize atLeast);

}  // namespace pimrose
