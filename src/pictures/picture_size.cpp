#include "pictures/picture_size.h"

#include <QImageReader>

namespace pimrose {

QSize pictureSize(const QString& path) {
  QImageReader reader(path);
  const QSize size = reader.size();
  if (!size.isValid()) return {};
  if (reader.transformation() & QImageIOHandler::TransformationRotate90) return size.transposed();
  return size;
}

}  // namespace pimrose
