#pragma once

#include <QByteArray>
#include <QImage>

#include "codecs/png_decode.h"

namespace pimrose {

// A PNG made for being read back often and fast, such as a thumbnail: 8-bit RGB (RGBA when the
// picture has alpha), every row filtered with "up" (the cheapest filter to undo) and deflated by
// libdeflate. A picture that deflates to less than a quarter of its rows at the quick level (smooth
// gradients, flat colour: anything but fine noise) is deflated again more closely; a noisy one gains
// almost nothing from the effort and keeps the quick result. Either way the file stays within an
// eighth of what zlib's defaults with adaptive filters make (smooth pictures come out smaller), in a
// fraction of their time. `texts` become tEXt chunks (Latin-1) ahead of the pixels. Empty when the
// picture is null or cannot be encoded.
QByteArray encodeQuickPng(const QImage& image, const PngTexts& texts = {});

}  // namespace pimrose
