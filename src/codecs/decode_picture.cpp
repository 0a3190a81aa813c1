#include "codecs/decode_picture.h"

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_size.h"

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  // Opened once for both steps: on a slow share every open and look-up waits.
  const std::optional<OpenedFile> file = OpenedFile::open(path, error);
  if (!file) return {};
  // Measured first: a file that is no picture is turned away before it is read whole.
  if (pictureSize(*file, path, error).isEmpty()) return {};
  const BudgetedBytes read = readFileBytesWithin(sharedReadBudget(), *file, path, error);
  const QByteArray& bytes = read.bytes;
  if (bytes.isEmpty()) return {};
  return decodeUpright(bytes, QSize(), PreviewUse::Refused, error);
}

}  // namespace pimrose
