#include "codecs/picture_format.h"

#include "codecs/heif_container.h"
#include "codecs/heif_decode.h"
#include "codecs/jxl_decode.h"

namespace pimrose {

QList<QByteArray> ownDecoderFormats() {
  QList<QByteArray> formats;
  if (heifDecodes()) formats.append("heif");
  if (avifDecodes()) formats.append("avif");
  formats.append("jxl");
  return formats;
}

PictureFormat sniffFormat(QByteArrayView data) {
  if (data.startsWith("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (data.startsWith("\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
  if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return PictureFormat::Gif;
  if (isHeifFile(data)) return PictureFormat::Heif;
  if (isJxlFile(data)) return PictureFormat::Jxl;
  return PictureFormat::Other;
}

}  // namespace pimrose
