#include "pictures/decode_picture.h"

#include <QImageReader>

namespace pimrose {

QImage decodePicture(const QString& path, QString* error) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull() && error) *error = reader.errorString();
  return image;
}

}  // namespace pimrose
