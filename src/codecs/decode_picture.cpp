#include "codecs/decode_picture.h"

#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  // Measured first: a file that is no picture is turned away before it is read whole.
  const std::optional<PictureProbe> probe = PictureProbe::open(path, error);
  if (!probe) return {};
  const BudgetedBytes read = probe->readAll(sharedReadBudget(), error);
  if (read.bytes.isEmpty()) return {};
  return decodeUpright(probe->header(), read.bytes, QSize(), PreviewUse::Refused, error);
}

}  // namespace pimrose
