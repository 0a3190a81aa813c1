#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include "text/code_page_codec.h"
#include "text/gbk_bytes.h"
#include "text/text_conversion.h"

namespace pimrose {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(char(v));
  return out;
}

TEST(TextConversionTest, EmptyInputsGiveTheirOwnEmptyResults) {
  EXPECT_EQ(AnsiToWide({}), bytes({0, 0}));
  EXPECT_EQ(AnsiToWide(bytes({0, 'a'})), bytes({0, 0}));
  EXPECT_EQ(CodePageToWide({}, kGbkCodePage), QByteArray());
  EXPECT_EQ(CodePageToWide(bytes({0, 'a'}), kGbkCodePage), QByteArray());
  EXPECT_EQ(WideToCodePage(bytes({0, 0, 'a', 0}), kGbkCodePage), QByteArray());
  EXPECT_EQ(WideToGbkText(bytes({0, 0})), QByteArray());
  EXPECT_EQ(WideToGbkText(bytes({'a', 0})), QByteArray());  // shorter than 3 bytes, even unterminated
  EXPECT_EQ(WideToAnsiText({}), QByteArray());
}

TEST(TextConversionTest, Code936RoundTripsThroughWideText) {
  const QByteArray gbk = bytes({'a', 0xD6, 0xD0, 0x80});  // a, 中, and the euro sign at 0x80
  const QByteArray wide = bytes({'a', 0, 0x2D, 0x4E, 0xAC, 0x20, 0, 0});
  EXPECT_EQ(AnsiToWide(gbk), wide);
  EXPECT_EQ(CodePageToWide(gbk, kGbkCodePage), wide);
  EXPECT_EQ(WideToGbkText(wide), gbk);
  EXPECT_EQ(WideToAnsiText(wide), gbk);
  EXPECT_EQ(WideToCodePage(wide, kGbkCodePage), gbk);
  EXPECT_EQ(WideToUtf8(wide), QStringLiteral("a中€").toUtf8());
  EXPECT_EQ(Utf8ToWide(QStringLiteral("a中€").toUtf8()), wide);
}

TEST(TextConversionTest, InputsEndAtTheirFirstZeroOrTheArrayEnd) {
  // An unterminated wide text is read safely to its end; an odd last byte is a unit of its own.
  EXPECT_EQ(WideToUtf8(bytes({'a', 0, 'b', 0})), QByteArray("ab"));
  EXPECT_EQ(WideToUtf8(bytes({'a', 0, 'b'})), QByteArray("ab"));
  EXPECT_EQ(WideToUtf8(bytes({'a', 0, 0, 0, 'b', 0})), QByteArray("a"));
  EXPECT_EQ(AnsiToWide(QByteArray("ab\0cd", 5)), bytes({'a', 0, 'b', 0, 0, 0}));
}

TEST(TextConversionTest, BadInputIsReplacedNotDropped) {
  // A character 936 cannot hold becomes one '?', a surrogate pair included; a lone surrogate too.
  EXPECT_EQ(toGbk(QStringLiteral("a😀b")), QByteArray("a?b"));
  EXPECT_EQ(toGbk(QString(QChar(0xD800)) + u'x'), QByteArray("?x"));
  // A stray lead byte at the end and an invalid pair decode to U+FFFD, the rest survives.
  EXPECT_EQ(fromGbk(bytes({'a', 0x81})), QStringLiteral("a\uFFFD"));
  EXPECT_EQ(fromGbk(bytes({0xFF, 'b'})), QStringLiteral("\uFFFDb"));
  // An unknown code page converts nothing.
  EXPECT_EQ(WideToCodePage(toWide(QStringLiteral("a")), 99999), QByteArray());
  EXPECT_EQ(CodePageToWide("a", 99999), QByteArray());
}

TEST(TextConversionTest, GbkTextComposesCombiningMarks) {
  EXPECT_EQ(WideToGbkText(toWide(QStringLiteral("e\u0301"))), bytes({0xA8, 0xA6}));  // é
  EXPECT_EQ(WideToAnsiText(toWide(QStringLiteral("e\u0301"))), QByteArray("e?"));
}

TEST(TextConversionTest, WideConcatKeepsOneTerminatorAndEveryUnit) {
  EXPECT_EQ(WideConcat(toWide(QStringLiteral("ab")), toWide(QString()), toWide(QStringLiteral("c"))),
            toWide(QStringLiteral("abc")));
  EXPECT_EQ(WideConcat(QByteArray(), QByteArray()), bytes({0, 0}));
  // A lone surrogate (a file name that is not valid UTF-8) is not lost on the way.
  const QString odd = QStringLiteral("/p/") + QChar(0xDC80) + QStringLiteral(".jpg");
  EXPECT_EQ(WideConcat(toWide(QStringLiteral("路径：")), toWide(odd)),
            toWide(QStringLiteral("路径：") + odd));
}

TEST(GbkBytesTest, CountsAndCutsOnCharacterBoundaries) {
  struct Case {
    QString text;
    qsizetype maxBytes;
    QString prefix;
  };
  const Case cases[] = {
      {QStringLiteral("a中b"), 2, QStringLiteral("a")},  // the cut would split 中
      {QStringLiteral("a中b"), 3, QStringLiteral("a中")},
      {QStringLiteral("a中b"), 100, QStringLiteral("a中b")},
      {QStringLiteral("😀x"), 1, QStringLiteral("😀")},  // an unmappable pair counts as its one '?'
      {QStringLiteral("中"), 0, QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(gbkPrefix(c.text, c.maxBytes), c.prefix) << c.text.toStdString();
  EXPECT_EQ(gbkByteLength(QStringLiteral("a中b😀")), 5);
  EXPECT_EQ(gbkBytePrefix(bytes({'a', 0xD6, 0xD0, 'b'}), 2), QByteArray("a"));
  EXPECT_EQ(gbkBytePrefix(bytes({'a', 0xD6, 0xD0, 'b'}), 3), bytes({'a', 0xD6, 0xD0}));
  EXPECT_EQ(gbkBytePrefix(bytes({0xD6}), 5), bytes({0xD6}));
}

}  // namespace
}  // namespace pimrose
