#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

namespace pimrose {

struct PictureHeader;

// Whether a JPEG's embedded EXIF preview may stand in for its pixels. The preview is quick but
// small (blurry at large sizes) and may even show something else than the picture.
enum class PreviewUse { Allowed, Refused };

// The picture upright. With an `atLeast` size (upright) the decoders may stop at any size that
// still covers it (DCT scaling, reduced PNG rows) or use the embedded preview when allowed; an
// empty `atLeast` asks for the full picture, refused beyond the pixel limit. Null on failure, with
// `error` set.
QImage decodeUpright(QByteArrayView data, QSize atLeast, PreviewUse preview, QString* error);

// A JPEG's embedded preview alone, upright (it is oriented like the picture), decoded at the first
// DCT scale that still covers `atLeast` (or whole when it is smaller). Null when there is none or it
// cannot be read; the picture's own pixels are never decoded instead.
QImage decodePreviewUpright(const PictureHeader& header, QSize atLeast);
// The embedded preview's upright size from its own header, without decoding it; empty when there
// is none or its header cannot be read.
QSize previewUprightSize(const PictureHeader& header);

// A thumbnail of exactly `size` (the aspect ratio is the caller's business), smoothly scaled,
// Format_ARGB32_Premultiplied or RGB32. Null on failure, with `error` set.
QImage thumbnailImage(QByteArrayView data, QSize size, PreviewUse preview, QString* error);

}  // namespace pimrose
