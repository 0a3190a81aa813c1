#include "codecs/plugin_decode.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <cmath>

#include "codecs/decode_limits.h"
#include "codecs/orientation.h"

namespace pimrose {

int orientationOf(QImageIOHandler::Transformations transformation) {
  switch (int(transformation)) {
    case QImageIOHandler::TransformationMirror:
      return 2;
    case QImageIOHandler::TransformationRotate180:
      return 3;
    case QImageIOHandler::TransformationFlip:
      return 4;
    case QImageIOHandler::TransformationFlipAndRotate90:
      return 5;
    case QImageIOHandler::TransformationRotate90:
      return 6;
    case QImageIOHandler::TransformationMirrorAndRotate90:
      return 7;
    case QImageIOHandler::TransformationRotate270:
      return 8;
    default:
      return 1;
  }
}

QSize coveringSize(QSize stored, QSize atLeast) {
  if (stored.isEmpty() || atLeast.isEmpty()) return stored;
  const double factor =
      std::max(double(atLeast.width()) / stored.width(), double(atLeast.height()) / stored.height());
  if (factor >= 1.0) return stored;
  const QSize covering(int(std::ceil(stored.width() * factor)), int(std::ceil(stored.height() * factor)));
  return covering.expandedTo(QSize(1, 1)).boundedTo(stored);
}

QImage decodeWithPlugin(QByteArrayView data, QSize atLeast, QString* error) {
  QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  const QSize stored = reader.size();
  if (!isBelievableSize(stored)) {
    if (error) *error = QStringLiteral("not a picture, or its header is damaged");
    return {};
  }
  // The size asked for is upright; the plugin scales the stored pixels before turning them.
  const int orientation = orientationOf(reader.transformation());
  const QSize storedAtLeast = swapsSides(orientation) ? atLeast.transposed() : atLeast;
  const QSize target = coveringSize(stored, storedAtLeast);
  if (target != stored && reader.supportsOption(QImageIOHandler::ScaledSize)) {
    reader.setScaledSize(target);
  } else if (!fitsDecodeLimit(stored)) {
    if (error) *error = QStringLiteral("picture too large for a full decode");
    return {};
  }
  QImage image = reader.read();
  if (image.isNull() && error) *error = reader.errorString();
  return image;
}

// Once converted the pixels are sRGB, so the image says so.
TaggedPicture taggedPluginImage(QImage image) {
  const QColorSpace space = image.colorSpace();
  if (!space.isValid()) return {image, {}};
  image.setColorSpace(QColorSpace(QColorSpace::SRgb));
  return {image, ColourProfile::fromIcc(space.iccProfile())};
}

}  // namespace pimrose
