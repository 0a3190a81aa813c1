#include "browsing/picture_types.h"

#include <QImageReader>
#include <QList>

#include "browsing/enumerate_pictures.h"

namespace pimrose {
namespace {

// Each extra extension with the plugin format that has to be present for it.
struct ExtraType {
  const char* extension;
  const char* format;
};
constexpr ExtraType kExtraTypes[] = {
    {"webp", "webp"}, {"tif", "tiff"},  {"tiff", "tiff"}, {"bmp", "bmp"},
    {"avif", "avif"}, {"heic", "heif"}, {"heif", "heif"},
};

}  // namespace

QString extraPictureTypes(const QList<QByteArray>& readable) {
  QStringList types;
  for (const ExtraType& type : kExtraTypes)
    if (readable.contains(QByteArray(type.format))) types.append(QString::fromLatin1(type.extension));
  return types.join(u'|');
}

QString pictureTypes(bool moreFormats) {
  QString types = QString::fromUtf16(kPictureTypes);
  if (!moreFormats) return types;
  // The plugin list does not change while the program runs.
  static const QString extra = extraPictureTypes(QImageReader::supportedImageFormats());
  if (!extra.isEmpty()) types += u'|' + extra;
  return types;
}

}  // namespace pimrose
