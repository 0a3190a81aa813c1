#include "codecs/picture_format.h"

namespace pimrose {

PictureFormat sniffFormat(QByteArrayView data) {
  if (data.startsWith("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (data.startsWith("\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
  if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return PictureFormat::Gif;
  return PictureFormat::Other;
}

}  // namespace pimrose
