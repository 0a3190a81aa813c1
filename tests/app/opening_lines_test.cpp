#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include "app/opening_lines.h"
#include "text/text_conversion.h"

namespace pimrose {
namespace {

TEST(OpeningLinesTest, HundredNineteenLinesOfTheRightByteLength) {
  const QStringList lines = openingLineList();
  ASSERT_EQ(lines.size(), 119);
  for (const QString& line : lines) {
    const qsizetype bytes = toGbk(line).size();
    EXPECT_GE(bytes, 22) << line.toStdString();
    EXPECT_LE(bytes, 94) << line.toStdString();
    EXPECT_FALSE(toGbk(line).contains('?')) << "not all in code page 936: " << line.toStdString();
    EXPECT_FALSE(line.contains(u'\r') || line.contains(u'\n')) << line.toStdString();
  }
  EXPECT_EQ(QSet<QString>(lines.begin(), lines.end()).size(), lines.size());
  const QString text = OpeningLines().toString();
  EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n")));
  EXPECT_EQ(toGbk(text).size(), 4733);
}

TEST(OpeningLinesTest, PickIsAlwaysOneWholeLine) {
  const QStringList lines = openingLineList();
  const qsizetype n = lines.size();
  EXPECT_EQ(pickOpeningLine([](qsizetype) { return qsizetype(1); }), lines.first());
  EXPECT_EQ(pickOpeningLine([n](qsizetype count) { return count == n ? n : 0; }), lines.last());
  // A draw out of range still gives a whole line, never an empty text.
  EXPECT_EQ(pickOpeningLine([](qsizetype) { return qsizetype(0); }), lines.first());
  EXPECT_EQ(pickOpeningLine([](qsizetype count) { return count + 7; }), lines.last());
  for (int i = 0; i < 500; ++i) EXPECT_TRUE(lines.contains(pickOpeningLine()));
}

}  // namespace
}  // namespace pimrose
