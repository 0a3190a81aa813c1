#pragma once

#include <QByteArrayView>
#include <QSize>
#include <QString>

#include "codecs/colour_profile.h"

// HEIF pictures (HEIC from phones, AVIF) through libheif.

namespace pimrose {

// Whether libheif here has a decoder for HEVC-coded (HEIC) and AV1-coded (AVIF) pictures.
bool heifDecodes();
bool avifDecodes();

// The primary picture, shown as the file says (libheif applies its crop, rotation and mirroring;
// an EXIF orientation inside is never applied again), with the colour profile its pixels are in.
// With an `atLeast` size an embedded thumbnail that covers it and has the picture's shape is
// decoded instead of the picture, and what is decoded is reduced by the largest whole factor that
// still covers it. A picture whose decode needs more than the full-decode pixel limit is refused.
// Null image on failure, with `error` set.
TaggedPicture decodeHeif(QByteArrayView data, QSize atLeast, QString* error);

// The primary picture's embedded thumbnail `item` (heifSizes), whatever its size, shown and coloured
// as decodeHeif shows a thumbnail, reduced as far as still covers `atLeast`. `data` may be the
// thumbnail alone (heifThumbnailAlone). Null when it is no thumbnail of the picture's shape.
TaggedPicture decodeHeifThumbnail(QByteArrayView data, quint32 item, QSize atLeast, QString* error);

}  // namespace pimrose
