#include "commands/picture_mime_data.h"

#include <QBuffer>

namespace pimrose {
namespace {

const QString kPng = QStringLiteral("image/png");

QByteArray encodePng(const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return bytes;
}

}  // namespace

PictureMimeData::PictureMimeData(const QImage& picture) : picture_(picture) {
  setImageData(picture);
}

QStringList PictureMimeData::formats() const {
  QStringList list = QMimeData::formats();
  if (!list.contains(kPng)) list.prepend(kPng);
  return list;
}

bool PictureMimeData::hasFormat(const QString& mimeType) const {
  return mimeType == kPng || QMimeData::hasFormat(mimeType);
}

QVariant PictureMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (mimeType != kPng) return QMimeData::retrieveData(mimeType, type);
  if (png_.isEmpty()) png_ = encodePng(picture_);
  return png_;
}

}  // namespace pimrose
