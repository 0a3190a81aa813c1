#pragma once

#include <QByteArray>
#include <QImage>

namespace pimrose {

// A PNG of a picture whose pixels are stored turned or mirrored by an EXIF `orientation` (1 to 8),
// upright, for handing to other programs: 8-bit RGB (RGBA when an upright picture has alpha), every
// row filtered with "up" and deflated by zlib at level 1 with its run-length strategy, written as it
// goes. The rows are turned one at a time as they are written, so a 48-megapixel photo costs no
// second copy of its pixels; 8-bit RGB stored pixels (Format_RGB888) are not copied at all. Empty
// when the picture is null or cannot be encoded.
QByteArray encodeUprightPng(const QImage& stored, int orientation);

}  // namespace pimrose
