#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace pimrose {

struct LoadedThumbnail {
  QImage image;      // iconSize wide, `height` tall in layout pixels; null when unreadable
  int height = 0;    // trunc(double(H) / W * iconSize), 0 when W is 0
  QSize sourceSize;  // upright W x H from the header
  QString error;     // why it failed, for the log; empty on success
};

// All the picture work of one loader, on any thread: measure from the header, the icon height as
// above, then the thumbnail. With fastLoading false, a path whose extension is exactly ".jpg" or
// ".jpeg" (byte-exact: ".JPG" does not match) is thumbnailed from its own pixels, never from its
// embedded preview; everything else may use the embedded preview, as MakeThumbnail does.
// With a pixelRatio above 1 the image has that many device pixels per layout pixel (and says so
// through its devicePixelRatio); iconSize and `height` stay in layout pixels.
LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio = 1.0);

}  // namespace pimrose
