#include "codecs/orientation.h"

#include <QTransform>

namespace pimrose {
namespace {

QImage rotated(const QImage& image, qreal degrees) {
  return image.transformed(QTransform().rotate(degrees), Qt::FastTransformation);
}

}  // namespace

QImage applyOrientation(const QImage& stored, int orientation) {
  switch (orientation) {
    case 2:
      return stored.mirrored(true, false);
    case 3:
      return stored.mirrored(true, true);
    case 4:
      return stored.mirrored(false, true);
    case 5:
      return rotated(stored, 90).mirrored(true, false);
    case 6:
      return rotated(stored, 90);
    case 7:
      return rotated(stored, 90).mirrored(false, true);
    case 8:
      return rotated(stored, 270);
    default:
      return stored;
  }
}

}  // namespace pimrose
