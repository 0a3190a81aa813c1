#include "browsing/picture_types.h"

#include <QImageReader>
#include <QList>

#include "browsing/enumerate_pictures.h"
#include "codecs/picture_format.h"

namespace pimrose {
namespace {

// Each extra extension with the plugin format that has to be present for it.
struct ExtraType {
  const char* extension;
  const char* format;
};
constexpr ExtraType kExtraTypes[] = {
    {"webp", "webp"}, {"tif", "tiff"},  {"tiff", "tiff"}, {"bmp", "bmp"},
    {"avif", "avif"}, {"heic", "heif"}, {"heif", "heif"}, {"jxl", "jxl"},
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
  // Neither Qt's plugins nor our own decoders change while the program runs.
  static const QString extra = extraPictureTypes(QImageReader::supportedImageFormats() + ownDecoderFormats());
  if (!extra.isEmpty()) types += u'|' + extra;
  return types;
}

}  // namespace pimrose
