#pragma once

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

// Area average: every destination pixel is the mean of the source pixels it covers.
Pixels boxResize(const Pixels& source, int width, int height);

Pixels turboJpegDecode(QByteArrayView jpeg, int target, int targetHeight);  // target 0: full size
Pixels libpngDecode(QByteArrayView png);
Pixels giflibFirstFrame(QByteArrayView gif);

// Decode (JPEG at the scale just above the thumbnail) then boxResize to `target` wide, keeping
// the aspect ratio. `kind` is "jpeg", "png" or "gif".
Pixels referenceThumbnail(QByteArrayView bytes, const char* kind, int target);

}  // namespace pimrose::bench
