#include "codecs/decode_picture.h"

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  const QByteArray bytes = readFileBytes(path, error);
  if (bytes.isEmpty()) return {};
  return decodeUpright(bytes, QSize(), PreviewUse::Refused, error);
}

}  // namespace pimrose
