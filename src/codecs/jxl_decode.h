#pragma once

#include <optional>

#include <QByteArrayView>
#include <QSize>
#include <QString>

#include "codecs/colour_profile.h"

// JPEG XL pictures through libjxl.

namespace pimrose {

// Whether the bytes start like a JPEG XL codestream or its container.
bool isJxlFile(QByteArrayView data);

// The picture's size as it shows (its orientation applied), from the codestream's header alone;
// nullopt when `data` ends before the header or is no JPEG XL.
std::optional<QSize> jxlShownSize(QByteArrayView data);

// The picture (its first frame) upright, with the colour profile its pixels are in: sRGB where
// libjxl can render to it, otherwise the file's own. With an `atLeast` size the decode stops at
// the first progressive step (the 1:8 DC image, then finer passes) whose resolution covers it, and
// the result is reduced by the largest whole factor that still covers it. A picture beyond the
// full-decode pixel limit is refused. Null image on failure, with `error` set.
TaggedPicture decodeJxl(QByteArrayView data, QSize atLeast, QString* error);

}  // namespace pimrose
