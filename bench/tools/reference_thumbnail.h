#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QByteArrayView>

// What a thumbnail costs at the least with the plain libraries and no cleverness: the references
// Pimrose's own thumbnails are measured against. Each answers 0x0 pixels on failure.

namespace pimrose::bench {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;  // 4 bytes a pixel, rows packed
};

// The smallest TurboJPEG DCT scale of `width` x `height` that is still at least `target` wide
// and `targetHeight` tall (1/1 when none is smaller), as num/denom.
struct Scale {
  int num = 1;
  int denom = 1;
};
Scale turboJpegScaleFor(int width, int height, int target, int targetHeight);

// Area average: every destination pixel is the mean of the source pixels it covers. The second form
// reads 4-byte pixels in rows `stride` bytes apart where a library left them.
Pixels boxResize(const Pixels& source, int width, int height);
Pixels boxResize(const std::uint8_t* rows, std::size_t stride, int sourceWidth, int sourceHeight, int width,
                 int height);

Pixels turboJpegDecode(QByteArrayView jpeg, int target, int targetHeight);  // target 0: full size
Pixels libpngDecode(QByteArrayView png);
Pixels giflibFirstFrame(QByteArrayView gif);

// A thumbnail `target` wide (its height from the picture's aspect) through libheif: the decode (to
// RGBA, on the calling thread) of the image it is made from, the smallest embedded thumbnail that
// covers it or else the primary image, then boxResize. Through libjxl: the decode (RGBA) up to the
// first progressive step whose resolution covers it (the DC image, or finer passes; the whole
// picture when none does), then boxResize. Both answer RGBA where the others answer BGRA.
Pixels libheifThumbnail(QByteArrayView heif, int target);
Pixels libjxlThumbnail(QByteArrayView jxl, int target);

// Decode (JPEG at the scale just above the thumbnail) then boxResize to `target` wide, keeping
// the aspect ratio. `kind` is "jpeg", "png", "gif", "heic" or "jxl".
Pixels referenceThumbnail(QByteArrayView bytes, const char* kind, int target);

}  // namespace pimrose::bench
