#pragma once

#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

#include "codecs/picture_decoder.h"

namespace pimrose {

struct LoadedThumbnail {
  QImage image;      // thumbnailSize(W, H, iconSize); null when the picture could not be read
  int height = 0;    // the thumbnail's height, 0 when the picture could not be measured
  QSize sourceSize;  // upright W x H from the header
  QString error;     // why it failed, for the log; empty on success
  // Work that can wait until the icon has been handed over (writing its shared cache entry); the
  // loaders run it off the icon's path. Empty when there is none.
  std::function<void()> afterDelivery = {};
};

// All the picture work of one loader, on any thread: measure from the header, the thumbnail size
// inside the item's box (icon_size.h), then the thumbnail from a bounded read of the file. With fastLoading
// false, a path whose extension is exactly ".jpg" or
// ".jpeg" (byte-exact: ".JPG" does not match) is thumbnailed from its own pixels, never from its
// embedded preview; everything else may use the embedded preview, as MakeThumbnail does.
// With a pixelRatio above 1 the image has that many device pixels per layout pixel (and says so
// through its devicePixelRatio); iconSize and `height` stay in layout pixels.
LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio = 1.0);

// Whether the loader may take a JPEG's embedded preview for `path` (the rule above).
PreviewUse previewUseFor(const QString& path, bool fastLoading);

// The thumbnail of exactly `size` from an upright picture (or a larger thumbnail of it): smoothly
// scaled, Format_ARGB32_Premultiplied or RGB32 as thumbnailImage gives.
QImage scaledThumbnail(const QImage& picture, QSize size);

}  // namespace pimrose
