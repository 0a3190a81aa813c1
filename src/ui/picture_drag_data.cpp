#include "ui/picture_drag_data.h"

#include <cstdio>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "text/file_names.h"

namespace pimrose::ui {
namespace {

const QString kUriListType = QStringLiteral("text/uri-list");
const QString kPngType = QStringLiteral("image/png");

// The picture as PNG bytes; empty when it cannot be read. Qt's reader is handed an open file, as
// the name's exact bytes may not be valid UTF-8.
QByteArray pngOf(const QString& path) {
  QFile file;
  const QByteArray bytes = encodeFileName(path);
  FILE* handle = std::fopen(bytes.constData(), "rb");
  if (!handle) return {};
  QByteArray png;
  if (file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) png.clear();
  } else {
    std::fclose(handle);
  }
  return png;
}

}  // namespace

PictureDragData::PictureDragData(QStringList paths) : paths_(std::move(paths)) {}

QStringList PictureDragData::formats() const {
  return {kUriListType, kPngType, kOwnDragType};
}

bool PictureDragData::hasFormat(const QString& mimeType) const {
  return formats().contains(mimeType);
}

QVariant PictureDragData::retrieveData(const QString& mimeType, QMetaType /*type*/) const {
  if (mimeType == kUriListType) return fileUriList(paths_);
  if (mimeType == kOwnDragType) return QByteArray("1");
  if (mimeType == kPngType && !paths_.isEmpty()) return pngOf(paths_.first());
  return {};
}

QByteArray fileUriList(const QStringList& paths) {
  QByteArray list;
  for (const QString& path : paths) {
    if (path.isEmpty()) continue;
    list += "file://" + encodeFileName(path).toPercentEncoding("/") + "\r\n";
  }
  return list;
}

}  // namespace pimrose::ui
