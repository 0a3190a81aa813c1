#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include "text/text_conversion.h"
#include "text/text_cut.h"

namespace pimrose {
namespace {

struct CutCase {
  const char* text;
  const char* separator;
  int start;
  bool ignoreCase;
  const char* left;
  const char* right;
};

// ASCII cases hold for both the narrow and the QString form.
const CutCase kCutCases[] = {
    {"12|34", "|", 1, false, "12", "34"},
    {"12|34", "#", 1, false, "", ""},
    {"a|b|c", "|", 1, false, "a", "b|c"},
    {"a|b|c", "|", 0, false, "a", "b|c"},   // 0 counts as 1
    {"a|b|c", "|", 3, false, "a|b", "c"},   // forward from byte 3
    {"a|b|c", "|", 6, false, "", ""},       // past the end
    {"a|b|c", "|", -1, false, "a|b", "c"},  // from the very end
    {"a|b|c|", "|", -1, false, "a|b|c", ""},
    {"a|b|c|", "|", -2, false, "a|b", "c|"},  // without the last two bytes
    {"a|b|c", "|", -9, false, "", ""},
    {"aXbxc", "x", 1, false, "aXb", "c"},
    {"aXbxc", "x", 1, true, "a", "bxc"},
    {"aXbxc", "x", -1, true, "aXb", "c"},
    {"a<=>b", "<=>", 1, false, "a", "b"},
    {"ab", "", 1, false, "", ""},  // an empty separator never occurs
    {"", "|", 1, false, "", ""},
};

TEST(TextCutTest, NarrowAndWideFormsCutAlike) {
  for (const CutCase& c : kCutCases) {
    SCOPED_TRACE(std::string(c.text) + " " + c.separator + " " + std::to_string(c.start));
    EXPECT_EQ(TextLeftOf(QByteArray(c.text), QByteArray(c.separator), c.start, c.ignoreCase),
              QByteArray(c.left));
    EXPECT_EQ(TextRightOf(QByteArray(c.text), QByteArray(c.separator), c.start, c.ignoreCase),
              QByteArray(c.right));
    const QString text = QString::fromLatin1(c.text);
    const QString separator = QString::fromLatin1(c.separator);
    EXPECT_EQ(TextLeftOf(text, separator, c.start, c.ignoreCase), QString::fromLatin1(c.left));
    EXPECT_EQ(TextRightOf(text, separator, c.start, c.ignoreCase), QString::fromLatin1(c.right));
  }
}

TEST(TextCutTest, NeverCutsInsideACharacter) {
  // 亅 is 81 7C in code page 936: its trail byte is the separator's byte, and must not match.
  const QByteArray text = toGbk(QStringLiteral("亅x|y"));
  EXPECT_EQ(fromGbk(TextLeftOf(text, "|")), QStringLiteral("亅x"));
  EXPECT_EQ(fromGbk(TextRightOf(text, "|", -1)), QStringLiteral("y"));
  EXPECT_EQ(TextLeftOf(toGbk(QStringLiteral("亅")), "|"), QByteArray());
  // 丄 is 81 41: an ignore-case search for "a" must not fold its trail byte.
  EXPECT_EQ(fromGbk(TextRightOf(toGbk(QStringLiteral("丄ba")), "A", 1, true)), QString());
  EXPECT_EQ(fromGbk(TextLeftOf(toGbk(QStringLiteral("丄bA")), "a", 1, true)), QStringLiteral("丄b"));
  // A surrogate pair is one character: a separator that is half of it never matches.
  const QString pair = QStringLiteral("😀");
  EXPECT_EQ(TextLeftOf(QStringLiteral("x😀y"), QString(pair[1])), QString());
  EXPECT_EQ(TextLeftOf(QStringLiteral("x😀y"), pair), QStringLiteral("x"));
}

TEST(TextCutTest, ChineseSeparatorsCutOnBytePositions) {
  const QByteArray text = toGbk(QStringLiteral("上传：12|下载：34"));
  EXPECT_EQ(fromGbk(TextLeftOf(text, toGbk(QStringLiteral("下载")))), QStringLiteral("上传：12|"));
  EXPECT_EQ(fromGbk(TextRightOf(text, toGbk(QStringLiteral("：")), -1)), QStringLiteral("34"));
  EXPECT_EQ(TextRightOf(QStringLiteral("上传：12"), QStringLiteral("：")), QStringLiteral("12"));
}

}  // namespace
}  // namespace pimrose
