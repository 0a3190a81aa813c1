#include "codecs/decode_picture.h"

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_size.h"

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  // Measured first: a file that is no picture is turned away before it is read whole.
  if (pictureSize(path, error).isEmpty()) return {};
  const BudgetedBytes read = readFileBytesWithin(sharedReadBudget(), path, error);
  const QByteArray& bytes = read.bytes;
  if (bytes.isEmpty()) return {};
  return decodeUpright(bytes, QSize(), PreviewUse::Refused, error);
}

}  // namespace pimrose
