#pragma once

#include <QByteArray>
#include <QImage>

// HEIC files made in memory with Debian's libheif (x265), for tests that need an embedded
// thumbnail heif-enc cannot make: of other pixels or another shape than the picture's.
namespace pimrose::test {

// `picture` as a HEIC whose embedded thumbnail is `thumbnail` reduced to fit `thumbnailSide` (it must
// be larger than that on a side). Empty when libheif here has no HEVC encoder.
QByteArray heicWithThumbnail(const QImage& picture, const QImage& thumbnail, int thumbnailSide);

}  // namespace pimrose::test
