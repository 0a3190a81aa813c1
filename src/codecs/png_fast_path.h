#pragma once

#include <optional>

#include <QByteArrayView>
#include <QImage>
#include <QSize>

namespace pimrose {

// The PNGs thumbnails are stored as and most pictures are (8 bits a sample, RGB or RGBA, not
// interlaced, no colour key) decoded in one pass: the pixel stream inflated whole by libdeflate,
// two to three times faster than zlib's streaming inflate, the rows unfiltered here. Only pictures
// whose rows fit kMaxFastPathBytes take it: a larger one is streamed row by row by libpng, which
// holds one row at a time. Answers what decodePng answers (the same formats, the same reduction by
// a whole factor for `atLeast`), or nullopt when the file is of another kind or does not decode
// whole: decodePng then reads it with libpng, which also shows what a file cut short holds.
inline constexpr qsizetype kMaxFastPathBytes = 32 * 1024 * 1024;
std::optional<QImage> decodePngFastPath(QByteArrayView data, QSize atLeast);
// The same pixels reduced straight to `size` (within the picture) as the rows come (AreaReducer):
// RGB32, or ARGB32_Premultiplied for RGBA. No picture-sized image is made. nullopt as above, and
// for a `size` the picture does not cover.
std::optional<QImage> decodePngFastPathTo(QByteArrayView data, QSize size);

}  // namespace pimrose
