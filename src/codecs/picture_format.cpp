#include "codecs/picture_format.h"

#include "codecs/jpeg_markers.h"
#include "codecs/probe_counts.h"

namespace pimrose {

PictureFormat sniffFormat(QByteArrayView data) {
  ++threadProbeCounts().sniffs;
  // The start marker alone, as libjpeg asks: stray bytes may stand between it and the next marker.
  if (jpeg::startsLikeJpeg(data)) return PictureFormat::Jpeg;
  if (startsLikePng(data)) return PictureFormat::Png;
  if (startsLikeGif(data)) return PictureFormat::Gif;
  return PictureFormat::Other;
}

}  // namespace pimrose
