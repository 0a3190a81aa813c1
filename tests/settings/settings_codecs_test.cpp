#include <gtest/gtest.h>

#include "settings/settings_codecs.h"

namespace pimrose {
namespace {

TEST(SettingsCodecsTest, CheckStates) {
  EXPECT_EQ(encodeCheckState(true), u"真");
  EXPECT_EQ(encodeCheckState(false), u"假");
  const struct {
    const char* value;
    std::optional<bool> state;
  } cases[] = {{"真", true}, {"假", false}, {"1", true}, {"0", true}, {"false", true}, {"", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(decodeCheckState(QString::fromUtf8(c.value)), c.state) << c.value;
}

// Any text survives a save and a restore unchanged (CR LF being the line break the boxes hold).
TEST(SettingsCodecsTest, EditTextsRoundTrip) {
  const char* texts[] = {
      "plain",
      "two\r\nlines\r\n",
      "say \"hi\"",
      "a literal ><br>< inside",
      "a literal #引号 inside",
      "near misses: >< # 引 >#引号< ><br ><br><br>< \"#\"引号",
      ">",
      "#",
      "  blanks around  ",
      "\"",
  };
  for (const char* text : texts) {
    const QString original = QString::fromUtf8(text);
    const QString encoded = encodeEditText(original);
    EXPECT_FALSE(encoded.contains(u'\r') || encoded.contains(u'\n')) << text;
    EXPECT_EQ(decodeEditText(encoded), original) << text << " -> " << encoded.toStdString();
  }
}

// What earlier files hold reads as it always did.
TEST(SettingsCodecsTest, EditValuesOfEarlierFiles) {
  const struct {
    const char* value;
    const char* text;
  } cases[] = {
      {"one><br><two", "one\r\ntwo"},
      {"#引号quoted#引号", "\"quoted\""},
      {"><br><><br><", "\r\n\r\n"},
      {"><br#引号", "><br\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(decodeEditText(QString::fromUtf8(c.value)), QString::fromUtf8(c.text));
  EXPECT_EQ(encodeEditText(QStringLiteral("a\r\n\"b\"")), u"a><br><#引号b#引号");
  EXPECT_EQ(encodeEditText(QStringLiteral("lone\nfeed\rreturn")), u"lone><br><feed><br><return");
  EXPECT_EQ(decodeEditText(QString()), std::nullopt);
}

TEST(SettingsCodecsTest, DropDownLists) {
  const DropDownState keys{{{QStringLiteral("F1"), 0}, {QStringLiteral("F2"), 7}}, 1, QStringLiteral("F2")};
  EXPECT_EQ(encodeDropDown(keys), u"F1<|>0<||>F2<|>7<||>1<|>F2");
  EXPECT_EQ(decodeDropDown(encodeDropDown(keys)), keys);

  const DropDownState quoted{{{QStringLiteral("say \"x\""), -3}}, 0, QStringLiteral("say \"x\"")};
  EXPECT_EQ(encodeDropDown(quoted), u"say #引号x#引号<|>-3<||>0<|>say #引号x#引号");
  EXPECT_EQ(decodeDropDown(encodeDropDown(quoted)), quoted);

  // Titles and texts that hold the separators themselves come back whole.
  const DropDownState separators{
      {{QStringLiteral("a<|>b"), 1}, {QStringLiteral("<||>"), 2}}, 1, QStringLiteral("x<||>y<|>z")};
  EXPECT_EQ(decodeDropDown(encodeDropDown(separators)), separators);

  // No "<||>": one last piece, so the list is emptied and only index and text are set.
  const DropDownState bare{{}, 3, QStringLiteral("白色")};
  EXPECT_EQ(decodeDropDown(QStringLiteral("3<|>白色")), bare);
  EXPECT_EQ(decodeDropDown(QStringLiteral("junk")), (DropDownState{{}, 0, QString()}));
  EXPECT_EQ(decodeDropDown(QStringLiteral("a<||>b<|>x<||>")),
            (DropDownState{{{QStringLiteral("a"), 0}, {QStringLiteral("b"), 0}}, 0, QString()}));
  EXPECT_EQ(decodeDropDown(QString()), std::nullopt);
}

}  // namespace
}  // namespace pimrose
