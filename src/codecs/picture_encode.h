#pragma once

#include <QByteArray>
#include <QImage>

namespace pimrose {

enum class EncodedFormat { Bmp, Jpeg, Gif, Tiff, Png };

// The picture encoded in `format`; empty when the encoder fails. GIF is reduced to at most 256
// colours (one of them transparent when the picture has see-through pixels).
QByteArray encodePicture(const QImage& image, EncodedFormat format);

// The picture drawn on white, without alpha.
QImage flattenedOnWhite(const QImage& image);

}  // namespace pimrose
