#include "pictures/decode_picture.h"

#include "pictures/file_reading.h"
#include "pictures/picture_decoder.h"

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  const QByteArray bytes = readFileBytes(path, error);
  if (bytes.isEmpty()) return {};
  return decodeUpright(bytes, QSize(), PreviewUse::Refused, error);
}

}  // namespace pimrose
