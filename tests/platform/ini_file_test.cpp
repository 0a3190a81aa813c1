#include <QFile>

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(IniFileTest, ReadsWithCaseInsensitiveNamesTrimmedAndQuotedValues) {
  test::Sandbox sandbox;
  const QString path = sandbox.write(QStringLiteral("a.ini"),
                                     "; comment\r\n[初始化]\r\n图片比例 = 30 \r\n[ChoiceboxEx]\r\n"
                                     "Quoted=\"  spaced  \"\r\nEmpty=\r\n");
  const IniFile ini(path);
  EXPECT_EQ(ini.read(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24")), u"30");
  EXPECT_EQ(ini.read(QStringLiteral("choiceboxex"), QStringLiteral("QUOTED")), u"  spaced  ");
  EXPECT_EQ(ini.read(QStringLiteral("ChoiceboxEx"), QStringLiteral("Empty"), QStringLiteral("x")), u"");
  EXPECT_EQ(ini.read(QStringLiteral("ChoiceboxEx"), QStringLiteral("Missing"), QStringLiteral("x")), u"x");
  EXPECT_EQ(ini.read(QStringLiteral("Nowhere"), QStringLiteral("Quoted"), QStringLiteral("x")), u"x");
}

TEST(IniFileTest, MissingOrBrokenFileGivesDefaults) {
  test::Sandbox sandbox;
  EXPECT_EQ(IniFile(sandbox.filePath(QStringLiteral("none.ini")))
                .read(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("24")),
            u"24");
  const QString broken =
      sandbox.write(QStringLiteral("broken.ini"), QByteArray("\x00\xff[[=]\n=x\n[a\nb", 14));
  EXPECT_EQ(IniFile(broken).read(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")), u"d");
  EXPECT_FALSE(IniFile(sandbox.path()).exists());
}

TEST(IniFileTest, WritesKeepOtherLinesAndPlaceNewKeysInTheirSection) {
  test::Sandbox sandbox;
  const QString path =
      sandbox.write(QStringLiteral("a.ini"), "; keep me\n[One]\nA=1\n\n[Two]\nB=2\nunknown line\n");
  IniFile ini(path);
  ASSERT_TRUE(ini.write(QStringLiteral("one"), QStringLiteral("a"), QStringLiteral("10")));
  ASSERT_TRUE(ini.write(QStringLiteral("One"), QStringLiteral("C"), QStringLiteral("3")));
  ASSERT_TRUE(ini.write(QStringLiteral("Three"), QStringLiteral("D"), QStringLiteral("4")));
  EXPECT_EQ(contents(path), "; keep me\n[One]\na=10\nC=3\n\n[Two]\nB=2\nunknown line\n[Three]\nD=4\n");
}

TEST(IniFileTest, WriteCreatesTheFileAndItsFolder) {
  test::Sandbox sandbox;
  IniFile ini(sandbox.filePath(QStringLiteral("deep/er/Pimrose.ini")));
  ASSERT_TRUE(ini.write(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24")));
  EXPECT_TRUE(ini.exists());
  EXPECT_EQ(ini.read(QStringLiteral("初始化"), QStringLiteral("图片比例")), u"24");
}

}  // namespace
}  // namespace pimrose
