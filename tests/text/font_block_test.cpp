#include <QtEndian>

#include <gtest/gtest.h>

#include "text/font_block.h"
#include "text/text_conversion.h"

namespace pimrose {
namespace {

QString faceOf(const QByteArray& block) {
  return QString(reinterpret_cast<const QChar*>(block.constData()), 32).section(QChar(0), 0, 0);
}

qint32 int32At(const QByteArray& block, int offset) {
  return qFromLittleEndian<qint32>(block.constData() + offset);
}

TEST(FontBlockTest, LayoutOfNameSizeAndStyles) {
  const QByteArray block = MakeFontBlock(QStringLiteral("微软雅黑"), 14, -1, 2, 3, 0x7FFFFFFF);
  ASSERT_EQ(block.size(), 84);
  EXPECT_EQ(block.left(10), QByteArray::fromHex("ae5f6f8fc596d19e0000"));
  EXPECT_EQ(block.mid(10, 54), QByteArray(54, '\0'));
  EXPECT_EQ(int32At(block, 64), 14);
  EXPECT_EQ(int32At(block, 68), -1);
  EXPECT_EQ(int32At(block, 72), 2);
  EXPECT_EQ(int32At(block, 76), 3);
  EXPECT_EQ(int32At(block, 80), 0x7FFFFFFF);
  EXPECT_EQ(MakeFontBlock(toGbk(QStringLiteral("微软雅黑")), 14, -1, 2, 3, 0x7FFFFFFF), block);
}

TEST(FontBlockTest, LongNamesAreCutWithoutSplittingACharacter) {
  const QString longName(40, u'x');
  const QByteArray block = MakeFontBlock(longName, 9);
  EXPECT_EQ(faceOf(block), QString(31, u'x'));
  EXPECT_EQ(block.mid(62, 2), QByteArray(2, '\0'));
  EXPECT_EQ(int32At(block, 64), 9);
  // A surrogate pair at units 30 and 31 would lose its second half: it goes whole.
  const QByteArray cut = MakeFontBlock(QString(30, u'y') + QStringLiteral("😀z"), 9);
  EXPECT_EQ(faceOf(cut), QString(30, u'y'));
  EXPECT_EQ(faceOf(MakeFontBlock(QString(), 9)), QString());
}

}  // namespace
}  // namespace pimrose
