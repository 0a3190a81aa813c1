#include "pictures/load_thumbnail.h"

#include <QImageReader>

#include "pictures/picture_size.h"

namespace pimrose {

LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading) {
  Q_UNUSED(fastLoading);
  LoadedThumbnail result;
  result.sourceSize = pictureSize(path);
  const int w = result.sourceSize.width();
  const int h = result.sourceSize.height();
  result.height = w > 0 ? int(double(h) / w * iconSize) : 0;
  QImageReader reader(path);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull()) {
    result.error = reader.errorString();
    return result;
  }
  const int height = result.height > 0 ? result.height : h;
  result.image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                     .scaled(iconSize, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return result;
}

}  // namespace pimrose
