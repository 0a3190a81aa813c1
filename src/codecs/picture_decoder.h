#pragma once

#include <optional>

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

#include "codecs/colour_profile.h"
#include "codecs/jpeg_header.h"
#include "codecs/orientation.h"

namespace pimrose {

struct PictureHeader;

// Whether a JPEG's embedded EXIF preview may stand in for its pixels. The preview is quick but
// small (blurry at large sizes) and may even show something else than the picture.
enum class PreviewUse { Allowed, Refused };

// The picture upright, decoded by its format's decoder from `header` (readPictureHeader of the
// same data, or the task's probe): the header is not read again. With an `atLeast` size (upright)
// the decoders may stop at any size that still covers it (DCT scaling, reduced PNG rows) or use the
// embedded preview when allowed; an empty `atLeast` asks for the full picture, refused beyond the
// pixel limit. The pixels are sRGB (colour_profile.h). Null on failure, with `error` set.
QImage decodeUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast, PreviewUse preview,
                     QString* error);
// The same for bytes whose header has not been read yet.
QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error);
// The same pixels still in the colours the file stores them in, with the profile they are in: a
// caller that scales them first converts only the pixels it keeps (scaledThumbnail).
TaggedPicture decodeTaggedUpright(const PictureHeader& header, QByteArrayView data, QSize atLeast,
                                  PreviewUse preview, QString* error);

// A JPEG's embedded EXIF preview, its own header read once. It is stored as the picture is, so the
// picture's orientation turns it upright.
struct EmbeddedPreview {
  QByteArrayView bytes;  // inside the buffer the picture's header views
  JpegHeader header;
  int orientation = 1;

  QSize upright() const { return uprightSize(header.storedSize, orientation); }
};

// The embedded preview of `header` when there is one, its header can be read and it is no larger
// than `atLeast` (upright; empty: the picture's own size) needs: one whose smallest DCT decode (1/8)
// is still larger on a side is passed over, as is its claim (a few kilobytes claiming 65500 x 65500
// would decode to hundreds of megabytes of nothing); the picture's own pixels serve instead.
std::optional<EmbeddedPreview> usablePreview(const PictureHeader& header, QSize atLeast);
// The preview upright, decoded at the first DCT scale that still covers `atLeast` (or whole when
// it is smaller), in sRGB. Null when it cannot be read; the picture's own pixels are never decoded
// instead.
QImage decodePreviewUpright(const EmbeddedPreview& preview, QSize atLeast);

// `picture` (upright, or a larger thumbnail of it) at exactly `size`, smoothly scaled,
// Format_ARGB32_Premultiplied or RGB32.
QImage scaledThumbnail(const QImage& picture, QSize size);
// The same for pixels not yet in sRGB: scaled first, then converted.
QImage scaledThumbnail(const TaggedPicture& picture, QSize size);

// A thumbnail of exactly `size` (the aspect ratio is the caller's business), smoothly scaled,
// Format_ARGB32_Premultiplied or RGB32, in sRGB. Null on failure, with `error` set.
QImage thumbnailImage(const PictureHeader& header, QByteArrayView data, QSize size, PreviewUse preview,
                      QString* error);
QImage thumbnailImage(QByteArrayView data, QSize size, PreviewUse preview, QString* error);

}  // namespace pimrose
