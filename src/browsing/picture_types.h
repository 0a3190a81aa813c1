#pragma once

#include <QString>

// Which file types count as pictures. The plain set is kPictureTypes; the "more formats" box adds
// the types Qt's image plugins on this machine read well (WebP, TIFF, BMP) and those our own
// decoders read (HEIC/HEIF and AVIF where libheif has their codec, JPEG XL), listed after the plain
// ones.

namespace pimrose {

// "jpg|png|gif" alone, or followed by every extra type a plugin here can read.
QString pictureTypes(bool moreFormats);

// The extra types that `readable` (lower-case format names, as QImageReader reports them) can
// read, in listing order. pictureTypes asks Qt and the codecs; tests pass their own list.
QString extraPictureTypes(const QList<QByteArray>& readable);

}  // namespace pimrose
