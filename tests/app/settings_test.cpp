#include <QComboBox>
#include <QFile>
#include <QTabBar>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/settings_page.h"
#include "commands/notice_sink.h"
#include "platform/autostart_entry.h"
#include "platform/fake_global_hotkey.h"
#include "platform/ini_document.h"
#include "settings/skin_set.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

QString u8(const char* text) {
  return QString::fromUtf8(text);
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct RecordedNotices : NoticeSink {
  void ShowNotice(const QString& text, const QString& kind) override { shown.append({text, kind}); }
  QList<std::pair<QString, QString>> shown;
};

// Everything that is saved, as one comparable record.
struct ControlStates {
  QStringList texts;
  QList<bool> checks;
  QStringList lists;
  bool operator==(const ControlStates&) const = default;
};

ControlStates statesOf(const ui::Window& window) {
  ControlStates states;
  for (const auto* box : window.controlsOf<ui::EditBox>()) states.texts << box->text();
  for (const auto* box : window.controlsOf<ui::CheckBox>()) states.checks << box->isChecked();
  for (const auto* list : window.controlsOf<ui::ComboBox>()) {
    QString items;
    for (int i = 0; i < list->itemCount(); ++i) items += list->itemTitle(i) + u'/';
    states.lists << items + QString::number(list->currentIndex()) + list->currentText();
  }
  return states;
}

// The keys of one section in file order.
QStringList keysOf(const QByteArray& file, const QString& section) {
  QStringList keys;
  bool inside = false;
  for (const QString& line : QString::fromUtf8(file).split(u'\n')) {
    if (line.startsWith(u'['))
      inside = line == u'[' + section + u']';
    else if (inside && line.contains(u'='))
      keys << line.section(u'=', 0, 0);
  }
  return keys;
}

class SettingsTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::Window> window() { return ui::loadWindow(ui::mainWindowDefinition()); }
  static ui::MainWindowControls typed(const ui::Window& window) {
    return ui::resolveControls<ui::MainWindowControls>(window);
  }
  QString file() const { return sandbox_.filePath(u8("config/Pimrose/Pimrose.ini")); }
  template <class T>
  static T* control(const ui::Window& window, const char* name) {
    return window.control<T>(u8(name));
  }

  test::Sandbox sandbox_;
};

TEST_F(SettingsTest, ControlStatesSurviveASaveAndARestoreInANewWindow) {
  const auto first = window();
  control<ui::EditBox>(*first, "编辑框_搜索")->setText(u8("say \"hi\"\r\nliteral ><br>< and #引号"));
  control<ui::EditBox>(*first, "配置_代理1")->setText(u8("  padded  "));
  for (const char* name : {"选择框_快速加载", "选择框_关闭提示", "选择框_呼出窗口热键"})
    control<ui::CheckBox>(*first, name)->toggleByUser();
  control<ui::ComboBox>(*first, "下拉框_热键")->setCurrentIndex(4);
  control<ui::ComboBox>(*first, "下拉框_皮肤")->setCurrentIndex(1);
  control<ui::Slider>(*first, "滑块条_图标大小")->setPosition(40);
  ASSERT_TRUE(Settings(*first, typed(*first), file(), {}).SaveSettings());

  // A new file lists the keys in the settings table's order: for check boxes the window's own, for
  // edit boxes the search box first although the window holds the status text before it.
  const QByteArray saved = contents(file());
  QStringList checkNames;
  for (const auto* box : first->controlsOf<ui::CheckBox>()) checkNames << box->name();
  EXPECT_EQ(keysOf(saved, u8("选择框")), checkNames);
  EXPECT_EQ(keysOf(saved, u8("编辑框")),
            (QStringList{u8("编辑框_搜索"), u8("标签_提示文本"), u8("配置_代理1")}));
  EXPECT_TRUE(saved.contains(u8("下拉框_热键=F1<|>0<||>F2<|>1<||>").toUtf8())) << saved.toStdString();
  EXPECT_TRUE(saved.contains(u8("[初始化]\n图片比例=40\n").toUtf8()));

  const auto second = window();
  ASSERT_NE(statesOf(*second), statesOf(*first));
  Settings(*second, typed(*second), file(), {}).RestoreSettings();
  EXPECT_EQ(statesOf(*second), statesOf(*first));
}

TEST_F(SettingsTest, RestoreReadsEarlierValuesAndLeavesMissingOnesAlone) {
  sandbox_.write(u8("config/Pimrose/Pimrose.ini"),
                 u8("; written by hand\r\n[选择框]\r\n选择框_快速加载=1\r\n选择框_最小化到托盘=假\r\n"
                    "[编辑框]\r\n编辑框_搜索=\r\n配置_代理1=a><br><b#引号\r\n"
                    "[组合框]\r\n下拉框_热键=3<|>F9\r\n[other]\r\nkeep=me\r\n")
                     .toUtf8());
  const auto restored = window();
  control<ui::CheckBox>(*restored, "选择框_最小化到托盘")->setChecked(true);
  control<ui::EditBox>(*restored, "编辑框_搜索")->setText(u8("typed"));
  Settings settings(*restored, typed(*restored), file(), {});
  settings.RestoreSettings();
  EXPECT_TRUE(control<ui::CheckBox>(*restored, "选择框_快速加载")->isChecked());
  EXPECT_FALSE(control<ui::CheckBox>(*restored, "选择框_最小化到托盘")->isChecked());
  EXPECT_FALSE(control<ui::CheckBox>(*restored, "选择框_关闭提示")->isChecked());  // missing: as defined
  EXPECT_EQ(control<ui::EditBox>(*restored, "编辑框_搜索")->text(), u"typed");     // empty: unchanged
  EXPECT_EQ(control<ui::EditBox>(*restored, "配置_代理1")->text(), u"a\r\nb\"");
  // A drop-down value without "<||>" empties the list.
  EXPECT_EQ(control<ui::ComboBox>(*restored, "下拉框_热键")->itemCount(), 0);

  // Saving again keeps the lines nobody owns, byte for byte, in the file's CR LF style.
  ASSERT_TRUE(settings.SaveSettings());
  const QByteArray saved = contents(file());
  EXPECT_TRUE(saved.startsWith("; written by hand\r\n")) << saved.toStdString();
  EXPECT_TRUE(saved.contains("[other]\r\nkeep=me\r\n"));
  EXPECT_FALSE(saved.contains("=1\r\n"));
}

// The settings page's drop-downs and tab bar are made when the page is first shown, long after the
// restore: what was restored (and saved meanwhile, unchanged) is what the page then shows.
TEST_F(SettingsTest, ThePageShownAfterTheRestoreShowsTheRestoredValues) {
  sandbox_.write(u8("config/Pimrose/Pimrose.ini"),
                 u8("[组合框]\n下拉框_皮肤=黑色<|>0<||>白色<|>1<||>1<|>白色\n"
                    "下拉框_热键=F1<|>0<||>F2<|>1<||>F3<|>2<||>2<|>F3\n")
                     .toUtf8());
  const auto main = window();
  Settings settings(*main, typed(*main), file(), {});
  settings.ApplySkin(0, true);
  ASSERT_TRUE(settings.SaveSettings());
  const QByteArray saved = contents(file());
  EXPECT_TRUE(saved.contains(u8("下拉框_热键=F1<|>0<||>F2<|>1<||>F3<|>2<||>2<|>F3\n").toUtf8()))
      << saved.toStdString();
  EXPECT_TRUE(saved.contains(u8("下拉框_皮肤=黑色<|>0<||>白色<|>1<||>1<|>白色\n").toUtf8()));

  main->show();
  control<ui::Tabs>(*main, "选择夹_组件")->setCurrentPage(1);
  const auto* hotkeys = control<ui::ComboBox>(*main, "下拉框_热键")->findChild<QComboBox*>();
  ASSERT_NE(hotkeys, nullptr);
  EXPECT_EQ(hotkeys->count(), 3);
  EXPECT_EQ(hotkeys->currentText(), u"F3");
  EXPECT_EQ(control<ui::ComboBox>(*main, "下拉框_皮肤")->findChild<QComboBox*>()->currentText(), u"白色");
  const auto* tabs = control<ui::Tabs>(*main, "选择夹_设置")->findChild<QTabBar*>();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->tabTextColor(1), skinSet(1)->inactiveTab);
}

TEST_F(SettingsTest, ChangingTheSkinSavesFirstAndDressesTheControls) {
  const auto main = window();
  QList<int> chosen;
  Settings settings(*main, typed(*main), file(),
                    {.skinChosen = [&](int skin) { chosen << skin; }, .restored = {}});
  settings.ApplySkin(0, true);  // no file: the list's own item, "黑色"
  EXPECT_EQ(chosen, QList<int>{0});
  control<ui::CheckBox>(*main, "选择框_关闭提示")->toggleByUser();  // changed, not saved
  settings.ApplySkin(1, false);
  EXPECT_EQ(chosen, (QList<int>{0, 1}));
  EXPECT_EQ(settings.skinIndex(), 1);
  EXPECT_TRUE(control<ui::CheckBox>(*main, "选择框_关闭提示")->isChecked());
  EXPECT_EQ(control<ui::ComboBox>(*main, "下拉框_皮肤")->currentText(), u"白色");
  EXPECT_EQ(control<ui::TextLabel>(*main, "标签_使用提示")->textColour(), skinSet(1)->activeText);
  EXPECT_EQ(control<ui::TextLabel>(*main, "标签_关于")->textColour(), QColor::fromRgba(kAboutTextColour));
  EXPECT_EQ(control<ui::Tabs>(*main, "选择夹_设置")->tabTextColour(1), skinSet(1)->inactiveTab);
  ASSERT_TRUE(settings.waitForSaves());
  EXPECT_TRUE(IniDocument::load(file())->value(u8("选择框"), u8("选择框_关闭提示")) == u"真");

  // At the next start the saved list decides the skin.
  control<ui::ComboBox>(*main, "下拉框_皮肤")->setCurrentIndex(1);
  settings.SaveSettings();
  const auto next = window();
  chosen.clear();
  Settings(*next, typed(*next), file(), {.skinChosen = [&](int skin) { chosen << skin; }, .restored = {}})
      .ApplySkin(0, true);
  EXPECT_EQ(chosen, QList<int>{1});
}

class SettingsPageTest : public SettingsTest {
 protected:
  SettingsPageTest() : main_(window()), settings_(*main_, typed(*main_), file(), {}) {
    page_ = new SettingsPage(*main_, typed(*main_), settings_,
                             {sandbox_.filePath(u8("config/autostart/Pimrose.desktop")),
                              sandbox_.filePath(u8("bin/pimrose")),
                              &hotkey_,
                              &notices_,
                              [this] { ++toggles_; },
                              {}});
  }

  SettingsPage& page() { return *page_; }
  ui::CheckBox* hotkeyBox() { return control<ui::CheckBox>(*main_, "选择框_呼出窗口热键"); }
  ui::ComboBox* hotkeyList() { return control<ui::ComboBox>(*main_, "下拉框_热键"); }

  std::unique_ptr<ui::Window> main_;
  Settings settings_;
  FakeGlobalHotkey hotkey_;
  RecordedNotices notices_;
  SettingsPage* page_ = nullptr;
  int toggles_ = 0;
};

TEST_F(SettingsPageTest, HotkeyFollowsTheBoxAndTheChosenKey) {
  hotkeyBox()->setChecked(true);
  hotkeyList()->setCurrentIndex(4);
  page().initHotkey();
  EXPECT_EQ(page().hotkeyId(), 33001);
  EXPECT_EQ(hotkeyBox()->statusText(), u"热键注册成功");
  hotkey_.press(5);
  EXPECT_EQ(toggles_, 1);

  // Another key: the old grab goes, the new one has a new identifier.
  hotkeyList()->setCurrentIndex(6);
  Q_EMIT hotkeyList()->currentIndexChanged(6);
  EXPECT_EQ(page().hotkeyId(), 33002);
  ASSERT_EQ(hotkey_.grabs.size(), 1);
  EXPECT_EQ(hotkey_.grabs.first().functionKey, 7);
  hotkey_.press(5);
  hotkey_.press(7);
  EXPECT_EQ(toggles_, 2);

  // Switched off: nothing held, presses do nothing.
  hotkeyBox()->toggleByUser();
  EXPECT_EQ(page().hotkeyId(), 0);
  EXPECT_TRUE(hotkey_.grabs.isEmpty());
  EXPECT_EQ(hotkeyBox()->statusText(), u"未开启热键");

  // A key another program holds.
  hotkey_.heldElsewhere = {7};
  hotkeyBox()->toggleByUser();
  EXPECT_EQ(page().hotkeyId(), 0);
  EXPECT_EQ(hotkeyBox()->statusText(), u"热键注册失败");
  hotkey_.press(7);
  EXPECT_EQ(toggles_, 2);
}

// A desktop that answers later (a portal): no success is shown before it is given, and a key the
// desktop refuses or takes back later ends as a failure.
TEST_F(SettingsPageTest, HotkeyAnsweredLaterShowsTheAnswer) {
  hotkey_.answerLater = true;
  hotkeyBox()->setChecked(true);
  page().initHotkey();
  EXPECT_EQ(page().hotkeyId(), 33001);
  EXPECT_EQ(hotkeyBox()->statusText(), u"");
  hotkey_.answer(33001, true);
  EXPECT_EQ(hotkeyBox()->statusText(), u"热键注册成功");
  hotkey_.press(1);
  EXPECT_EQ(toggles_, 1);
  hotkey_.answer(33001, false);  // the desktop took the key back
  EXPECT_EQ(page().hotkeyId(), 0);
  EXPECT_EQ(hotkeyBox()->statusText(), u"热键注册失败");

  hotkeyList()->setCurrentIndex(2);
  Q_EMIT hotkeyList()->currentIndexChanged(2);
  hotkey_.answer(33001, true);  // a stale answer for the old key changes nothing
  EXPECT_EQ(hotkeyBox()->statusText(), u"");
  hotkey_.answer(33002, false);
  EXPECT_EQ(page().hotkeyId(), 0);
  EXPECT_EQ(hotkeyBox()->statusText(), u"热键注册失败");
}

TEST_F(SettingsPageTest, HotkeyOffAtStartRegistersNothing) {
  page().initHotkey();
  EXPECT_EQ(hotkeyBox()->statusText(), u"未开启热键");
  EXPECT_TRUE(hotkey_.grabs.isEmpty());
}

TEST_F(SettingsPageTest, AutostartReportsWhatReallyHappened) {
  auto* box = control<ui::CheckBox>(*main_, "选择框_开机启动");
  box->toggleByUser();
  EXPECT_TRUE(page().AutostartExists());
  EXPECT_TRUE(box->isChecked());
  box->toggleByUser();
  EXPECT_FALSE(page().AutostartExists());
  EXPECT_FALSE(box->isChecked());
  // A folder in the entry's place: nothing can be written.
  sandbox_.makeFolder(u8("config/autostart/Pimrose.desktop"));
  box->toggleByUser();
  EXPECT_FALSE(box->isChecked());
  using Shown = QList<std::pair<QString, QString>>;
  EXPECT_EQ(notices_.shown, (Shown{{u8("开机启动设置成功"), u8("完成")},
                                   {u8("开机启动取消完成"), u8("完成")},
                                   {u8("开机启动设置失败"), u8("失败")}}));
}

// The file is written in the background; the notice comes once it is.
TEST_F(SettingsPageTest, SaveButtonSaysWhetherTheFileWasWritten) {
  Q_EMIT control<ui::Button>(*main_, "按钮_保存配置")->clicked();
  ASSERT_TRUE(test::waitFor([&] { return notices_.shown.size() == 1; }));
  EXPECT_TRUE(QFile::exists(file()));
  // A folder in the file's place, and a file the user made read-only, which keeps its contents.
  sandbox_.makeFolder(u8("blocked.ini"));
  const QString readOnly = sandbox_.write(u8("read-only.ini"), "[选择框]\n选择框_快速加载=真\n");
  QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  for (const QString& path : {sandbox_.filePath(u8("blocked.ini")), readOnly}) {
    Settings blocked(*main_, typed(*main_), path, {});
    SettingsPage other(*main_, typed(*main_), blocked, {{}, {}, &hotkey_, &notices_, {}, {}});
    const qsizetype before = notices_.shown.size();
    other.saveByUser();
    ASSERT_TRUE(test::waitFor([&] { return notices_.shown.size() > before; }));
  }
  EXPECT_EQ(contents(readOnly), "[选择框]\n选择框_快速加载=真\n");
  using Shown = QList<std::pair<QString, QString>>;
  EXPECT_EQ(notices_.shown, (Shown{{u8("保存配置完成"), u8("完成")},
                                   {u8("保存配置失败"), u8("失败")},
                                   {u8("保存配置失败"), u8("失败")}}));
}

}  // namespace
}  // namespace pimrose
