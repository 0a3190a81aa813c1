#include "codecs/picture_format.h"

#include "codecs/heif_container.h"
#include "codecs/heif_decode.h"
#include "codecs/jpeg_markers.h"
#include "codecs/jxl_decode.h"
#include "codecs/probe_counts.h"

namespace pimrose {

QList<QByteArray> ownDecoderFormats() {
  QList<QByteArray> formats;
  if (heifDecodes()) formats.append("heif");
  if (avifDecodes()) formats.append("avif");
  formats.append("jxl");
  return formats;
}

PictureFormat sniffFormat(QByteArrayView data) {
  ++threadProbeCounts().sniffs;
  // The start marker alone, as libjpeg asks: stray bytes may stand between it and the next marker.
  if (jpeg::startsLikeJpeg(data)) return PictureFormat::Jpeg;
  if (startsLikePng(data)) return PictureFormat::Png;
  if (startsLikeGif(data)) return PictureFormat::Gif;
  if (isHeifFile(data)) return PictureFormat::Heif;
  if (isJxlFile(data)) return PictureFormat::Jxl;
  return PictureFormat::Other;
}

}  // namespace pimrose
