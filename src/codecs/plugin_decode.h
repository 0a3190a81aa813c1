#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>

#include "codecs/colour_profile.h"

// Pictures we have no decoder of our own for (WebP, TIFF, BMP, ...), through Qt's image plugins.

namespace pimrose {

// The EXIF orientation (1 to 8) that matches a plugin's transformation of the stored pixels.
int orientationOf(QImageIOHandler::Transformations transformation);

// The smallest size of `stored`'s shape that still covers `atLeast` (both in stored orientation);
// `stored` itself when it is no larger.
QSize coveringSize(QSize stored, QSize atLeast);

// The picture upright. With an `atLeast` size (upright) a plugin that decodes straight to a smaller
// size (WebP does) stops at one that still covers it; every other full decode is refused beyond
// the pixel limit. Null on failure, with `error` set.
QImage decodeWithPlugin(QByteArrayView data, QSize atLeast, QString* error);

// A plugin's image with the profile its colour space was read from (a WebP's or TIFF's ICC), the
// pixels left as stored.
TaggedPicture taggedPluginImage(QImage image);

}  // namespace pimrose
