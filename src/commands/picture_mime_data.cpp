#include "commands/picture_mime_data.h"

#include <utility>

namespace pimrose {
namespace {

// In the order offered: what a manager keeping only the later formats keeps comes last.
QStringList pngNames() {
  return {QStringLiteral("image/x-png"), QStringLiteral("image/png")};
}

}  // namespace

PictureMimeData::PictureMimeData(QByteArray png) : png_(std::move(png)) {}

QStringList PictureMimeData::formats() const {
  return pngNames();
}

bool PictureMimeData::hasFormat(const QString& mimeType) const {
  return pngNames().contains(mimeType);
}

QVariant PictureMimeData::retrieveData(const QString& mimeType, QMetaType) const {
  return hasFormat(mimeType) ? QVariant(png_) : QVariant();
}

}  // namespace pimrose
