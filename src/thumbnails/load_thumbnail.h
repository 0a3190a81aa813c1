#pragma once

#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

#include "codecs/picture_decoder.h"

namespace pimrose {

class PictureProbe;
struct PictureHeader;

struct LoadedThumbnail {
  QImage image;      // thumbnailSize(W, H, iconSize); null when the picture could not be read
  int height = 0;    // the thumbnail's height, 0 when the picture could not be measured
  QSize sourceSize;  // upright W x H from the header
  QString error;     // why it failed, for the log; empty on success
  // Work that can wait until the icon has been handed over (writing its shared cache entry); the
  // loaders run it off the icon's path. Empty when there is none.
  std::function<void()> afterDelivery = {};
  // A provisional thumbnail stands in while the final one is made: it comes from the embedded
  // preview, is shown at once and never written to the shared cache. `makeFinal` (set on provisional
  // results only) makes the final thumbnail for the same request on the same thread.
  bool provisional = false;
  std::function<LoadedThumbnail()> makeFinal = {};
};

// Whether a picture thumbnailed from its own pixels may first show its embedded preview or
// thumbnail (see previewThumbnail); with No the final thumbnail is the only result.
enum class EarlyPreview { No, Yes };

// All the picture work of one loader, on any thread: the picture probed once (picture_probe.h: one
// open, one sniff, one header parse), the thumbnail size inside the item's box (icon_size.h), then the
// thumbnail from a bounded read of the file. With fastLoading
// false, a path whose extension is exactly ".jpg" or
// ".jpeg" (byte-exact: ".JPG" does not match) is thumbnailed from its own pixels, never from its
// embedded preview; everything else may use the embedded preview, as MakeThumbnail does.
// With a pixelRatio above 1 the image has that many device pixels per layout pixel (and says so
// through its devicePixelRatio); iconSize and `height` stay in layout pixels.
//
// With EarlyPreview::Yes a picture thumbnailed from its own pixels whose preview serves
// (previewThumbnail: a JPEG's EXIF preview, a HEIF's embedded thumbnail smaller than the icon) is
// answered with the provisional thumbnail from the preview, whose makeFinal makes exactly the
// thumbnail this call makes with No.
//
// Fast loading with a usable embedded preview (usablePreview) makes the thumbnail from the preview
// alone: the rest of the file is not read.
LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio = 1.0,
                              EarlyPreview early = EarlyPreview::No);
// The same for a picture the caller has probed already.
LoadedThumbnail loadThumbnail(const PictureProbe& probe, int iconSize, bool fastLoading,
                              double pixelRatio = 1.0, EarlyPreview early = EarlyPreview::No);

// The stand-in of exactly `size` (device pixels) from the embedded preview of a picture that is
// thumbnailed from its own pixels: a JPEG's EXIF preview, or a HEIF's embedded thumbnail of the
// picture's shape that does not cover `finalDecode` (what the final decode asks for; empty: `size`),
// since one that covers it is the final thumbnail's source itself. Null when there is no usable
// preview or when it is, upright, less than half of `size` on either side: scaled up further it
// would show little of the picture. Colours are converted to sRGB and orientation applied once, as
// for the final thumbnail.
QImage previewThumbnail(const PictureProbe& probe, QSize size, QSize finalDecode = {});

// Whether the final thumbnail comes from a JPEG's embedded preview itself (fast loading), so that
// nothing stands in for it.
bool previewIsFinal(const PictureProbe& probe, QSize size, PreviewUse use);

// `preview` as the provisional form of `result` (same sizes and height), finished by `makeFinal`.
LoadedThumbnail provisionalThumbnail(const LoadedThumbnail& result, QImage preview,
                                     std::function<LoadedThumbnail()> makeFinal);

// Whether the loader may take a JPEG's embedded preview for `path` (the rule above).
PreviewUse previewUseFor(const QString& path, bool fastLoading);

// The icon's size in device pixels: `size` (layout pixels) times a ratio of at least 1.
QSize devicePixelsOf(QSize size, double pixelRatio);

}  // namespace pimrose
