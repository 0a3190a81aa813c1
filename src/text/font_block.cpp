#include "text/font_block.h"

#include <QtEndian>

#include "text/text_conversion.h"

namespace pimrose {
namespace {

constexpr int kFaceBytes = 64;
constexpr int kSizeOffset = 64;

QString fittingFaceName(const QString& faceName) {
  const qsizetype cut = faceName.indexOf(QChar(0));
  QString name = cut < 0 ? faceName : faceName.first(cut);
  if (name.size() <= kFontFaceUnits) return name;
  name.truncate(kFontFaceUnits);
  if (name.back().isHighSurrogate()) name.chop(1);
  return name;
}

}  // namespace

QByteArray MakeFontBlock(const QString& faceName, qint32 size, qint32 style1, qint32 style2, qint32 style3,
                         qint32 style4) {
  QByteArray block(kFontBlockSize, '\0');
  const QString name = fittingFaceName(faceName);
  for (qsizetype i = 0; i < name.size(); ++i)
    qToLittleEndian<quint16>(name[i].unicode(), block.data() + 2 * i);
  const qint32 values[] = {size, style1, style2, style3, style4};
  for (int i = 0; i < 5; ++i) qToLittleEndian<qint32>(values[i], block.data() + kSizeOffset + 4 * i);
  static_assert(kFaceBytes == 2 * (kFontFaceUnits + 1));
  return block;
}

QByteArray MakeFontBlock(const QByteArray& faceName, qint32 size, qint32 style1, qint32 style2, qint32 style3,
                         qint32 style4) {
  return MakeFontBlock(fromGbk(faceName), size, style1, style2, style3, style4);
}

}  // namespace pimrose
