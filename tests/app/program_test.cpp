#include <algorithm>
#include <csignal>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/opening_lines.h"
#include "app/program.h"
#include "app/settings_page.h"
#include "notices/notices.h"
#include "platform/fake_global_hotkey.h"
#include "platform/ini_file.h"
#include "platform/log_sink.h"
#include "program_fixture.h"
#include "shell/window_commands.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "thumbnails/thumbnail_loader.h"
#include "ui/caption_buttons.h"
#include "ui/controls.h"
#include "ui/tip_box.h"

namespace pimrose {
namespace {

TEST_F(ProgramTest, StartsVisibleWithTheWindowsLoadedAndTheOpeningLineShown) {
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  EXPECT_EQ(program.windows().logControls().窗口EX1->icon().size(), QSize(256, 256))
      << "the log window shows the logo";
  EXPECT_TRUE(program.windows().mainWindow().isVisible());
  EXPECT_EQ(program.windows().mainWindow().size(), QSize(1200, 700));
  EXPECT_EQ(program.windows().mainWindow().windowTitle(), u"Pimrose");
  EXPECT_FALSE(program.windows().textPopupWindow().isVisible());
  EXPECT_FALSE(program.windows().logWindow().isVisible());
  EXPECT_FALSE(program.windows().floatWindow().isVisible());
  EXPECT_EQ(program.windows().taskbarWidget(), nullptr);
  EXPECT_EQ(control<ui::TextLabel>(program, "标签_当前版本")->text(), u"当前版本: 0.1.0");
  EXPECT_EQ(control<ui::TextLabel>(program, "标签_关于")->text(), u"关于 Pimrose");

  // The status text is one whole line of the greetings: here the last, as the draw says.
  const QStringList lines = openingLineList();
  EXPECT_EQ(drawn_, lines.size());
  EXPECT_EQ(control<ui::EditBox>(program, "标签_提示文本")->text(), lines.last());
  EXPECT_TRUE(exitCodes_.empty());
}

// The rule counts from the start of the user's session, not of the machine: autostart runs at login,
// often minutes after boot. Without a tray host nothing could call a hidden window back, so an early
// start leaves it shown.
TEST_F(ProgramTest, UpTimeRuleHidesTheWindowWithinTwoMinutesOfTheSessionIntoATray) {
  struct Case {
    std::uint64_t session;
    std::uint64_t boot;
    bool trayHost;
    bool visible;
  };
  for (const Case& c : {Case{120'000, 120'000, true, false}, Case{5'000, 5'000, true, false},
                        Case{120'001, 120'001, true, true}, Case{5'000, 5'000, false, true},
                        Case{30'000, 600'000, true, false}, Case{600'000, 30'000, true, true}}) {
    ProgramServices s = services(c.session, false, c.trayHost);
    s.bootClock = [boot = c.boot] { return boot; };
    Program program(std::move(s));
    ASSERT_EQ(program.StartUp(), Program::Start::Running);
    EXPECT_EQ(program.windows().mainWindow().isVisible(), c.visible)
        << "session " << c.session << " boot " << c.boot << " tray " << c.trayHost;
  }
}

TEST_F(ProgramTest, SecondInstanceAddsNothingAndEnds) {
  Program program(services(3'600'000, /*anotherInstance=*/true));
  EXPECT_EQ(program.StartUp(), Program::Start::AnotherInstanceRuns);
  EXPECT_FALSE(program.windows().mainWindow().isVisible());
  EXPECT_TRUE(program.windows().mainWindow().windowTitle().isEmpty());
  EXPECT_FALSE(QFile::exists(program.services().settingsFile));
}

TEST_F(ProgramTest, ShowRequestBringsAHiddenOrMinimisedWindowBack) {
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  program.windows().mainWindow().hide();
  Q_EMIT channel_->showRequested();
  EXPECT_TRUE(program.windows().mainWindow().isVisible());
  program.windows().mainWindow().showMinimized();
  Q_EMIT channel_->showRequested();
  EXPECT_FALSE(program.windows().mainWindow().isMinimized());
}

TEST_F(ProgramTest, WithoutSettingsFileTheHintShowsAndTheSliderIsAt24) {
  Program program(services());
  program.StartUp();
  EXPECT_TRUE(control<ui::TextLabel>(program, "标签_使用提示")->isVisibleTo(&program.windows().mainWindow()));
  EXPECT_EQ(control<ui::Slider>(program, "滑块条_图标大小")->position(), 24);
  EXPECT_EQ(program.browser().lists().iconSize(), 5 * 24 + 150);
  EXPECT_EQ(control<ui::CheckBox>(program, "选择框_呼出窗口热键")->isChecked(), false);
}

TEST_F(ProgramTest, SliderPositionComesFromTheSettingsFile) {
  for (const auto& [stored, position] : {std::pair{"30", 30}, {"abc", 0}}) {
    sandbox_.write(QStringLiteral("config/Pimrose/Pimrose.ini"),
                   QByteArray("[初始化]\n图片比例=") + stored + "\n");
    Program program(services());
    program.StartUp();
    EXPECT_FALSE(
        control<ui::TextLabel>(program, "标签_使用提示")->isVisibleTo(&program.windows().mainWindow()));
    EXPECT_EQ(control<ui::Slider>(program, "滑块条_图标大小")->position(), position) << stored;
  }
}

TEST_F(ProgramTest, AutostartBoxFollowsAnEntryThatPointsAtThisProgram) {
  const QString program = QCoreApplication::applicationFilePath();
  for (const auto& [exec, checked] : {std::pair{program, true}, {QStringLiteral("/usr/bin/other"), false}}) {
    sandbox_.write(QStringLiteral("config/autostart/Pimrose.desktop"),
                   ("[Desktop Entry]\nType=Application\nExec=\"" + exec + "\"\n").toUtf8());
    Program started(services());
    started.StartUp();
    EXPECT_EQ(control<ui::CheckBox>(started, "选择框_开机启动")->isChecked(), checked) << exec.toStdString();
  }
}

TEST_F(ProgramTest, CloseIsRefusedWhileMinimiseToTrayIsChecked) {
  Program program(services());
  program.StartUp();
  control<ui::CheckBox>(program, "选择框_最小化到托盘")->setChecked(true);
  program.windows().mainWindow().close();
  EXPECT_FALSE(program.windows().mainWindow().isVisible());
  EXPECT_TRUE(exitCodes_.empty());

  ShowMainWindow(program.windows().mainWindow());
  control<ui::CheckBox>(program, "选择框_最小化到托盘")->setChecked(false);
  program.windows().mainWindow().close();
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
  EXPECT_TRUE(channel_->released);
}

TEST_F(ProgramTest, WithoutATrayHostCloseAndTheCaptionButtonsMinimiseInsteadOfHiding) {
  Program program(services(3'600'000, false, false));
  program.StartUp();
  control<ui::CheckBox>(program, "选择框_最小化到托盘")->setChecked(true);
  program.windows().mainWindow().close();
  EXPECT_TRUE(program.windows().mainWindow().isVisible());
  EXPECT_TRUE(program.windows().mainWindow().isMinimized());
  ShowMainWindow(program.windows().mainWindow());
  for (ui::CaptionButton button : {ui::CaptionButton::Close, ui::CaptionButton::Minimise}) {
    Q_EMIT program.windows().mainControls().窗口EX1->captionButtonPressed(button);
    EXPECT_TRUE(program.windows().mainWindow().isVisible()) << static_cast<int>(button);
    ShowMainWindow(program.windows().mainWindow());
  }
  EXPECT_TRUE(exitCodes_.empty());
}

TEST_F(ProgramTest, DestroyingThePointerTipWindowEndsTheProcessAtOnce) {
  Program program(services());
  program.StartUp();
  Q_EMIT program.windows().textPopupWindow().aboutToBeDestroyed();
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

TEST_F(ProgramTest, SettingsButtonSwitchesBetweenBrowserAndSettingsPages) {
  Program program(services());
  program.StartUp();
  auto* button = control<ui::ImageButton>(program, "超级按钮_程序设置");
  auto* pages = control<ui::Tabs>(program, "选择夹_组件");
  auto* viewer = control<ui::WindowSkin>(program, "组件_图片背景");
  viewer->show();
  Q_EMIT button->clicked();
  EXPECT_EQ(pages->currentPage(), 1);
  EXPECT_EQ(button->state(), 1);
  EXPECT_FALSE(viewer->isVisible());
  Q_EMIT button->clicked();
  EXPECT_EQ(pages->currentPage(), 0);
  EXPECT_EQ(button->state(), 0);
}

TEST_F(ProgramTest, SkinChoiceRecolorsEveryWindowAndTheWindowKeepsItsMinimumSize) {
  Program program(services());
  program.StartUp();
  EXPECT_EQ(program.state().skinIndex, 0);
  EXPECT_EQ(program.windows().mainWindow().skinIndex(), 0);
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(1);
  EXPECT_EQ(program.state().skinIndex, 1);
  EXPECT_EQ(program.windows().mainWindow().skinIndex(), 1);
  EXPECT_EQ(program.windows().logWindow().skinIndex(), 1);
  EXPECT_EQ(program.windows().mainWindow().minimumSize(), QSize(1200, 700));
  program.windows().mainWindow().resize(800, 500);
  EXPECT_EQ(program.windows().mainWindow().size(), QSize(1200, 700));
}

// The settings button sits in the corner that toggles the log window: a click on the button is the
// button's alone, and the strip of background left of it still reaches the corner.
TEST_F(ProgramTest, TheSettingsButtonInTheLogCornerDoesNotToggleTheLogWindow) {
  Program program(services());
  program.StartUp();
  auto* settings = program.windows().mainControls().超级按钮_程序设置;
  ASSERT_LT(settings->geometry().right(), 40);
  QTest::mouseClick(settings, Qt::LeftButton, {}, settings->rect().center());
  EXPECT_EQ(program.windows().mainControls().选择夹_组件->currentPage(), 1);
  EXPECT_FALSE(program.windows().logWindow().isVisible());
  QTest::mouseClick(&program.windows().mainWindow(), Qt::LeftButton, {}, QPoint(4, 16));
  EXPECT_TRUE(program.windows().logWindow().isVisible());
}

// The taskbar widget is off in the program; switched on here, its timer fills the two lines from the
// machine's load and its holder shows the uptime while the pointer is over it.
TEST_F(ProgramTest, TaskbarWidgetShowsTheLoadLinesAndTheUptimeTip) {
  ProgramServices s = services(3'723'000);
  EXPECT_FALSE(s.taskbarWidgetEnabled);
  {
    Program off(services());
    off.StartUp();
    EXPECT_EQ(off.windows().taskbarWidget(), nullptr);
  }
  sandbox_.write(QStringLiteral("root/proc/stat"), "cpu  7 0 0 93 0 0 0 0 0 0\n");
  sandbox_.write(QStringLiteral("root/proc/meminfo"), "MemTotal: 1000 kB\nMemAvailable: 580 kB\n");
  s.systemFiles = SystemFiles(sandbox_.filePath(QStringLiteral("root")));
  s.taskbarWidgetEnabled = true;
  Program program(std::move(s));
  program.StartUp();
  ASSERT_NE(program.windows().taskbarWidget(), nullptr);
  const ui::TaskbarWidgetControls& bar = program.windows().taskbarControls();
  EXPECT_EQ(bar.标签_信息上->text(), u"初始化"_qs) << "nothing sampled before the first tick";

  Q_EMIT bar.任务栏_刷新信息->elapsed();
  EXPECT_EQ(bar.标签_信息上->text(), u"核心：100%  下载：0"_qs);
  EXPECT_EQ(bar.标签_信息下->text(), u"内存：42%  上传：0"_qs);
  sandbox_.write(QStringLiteral("root/proc/stat"), "cpu  14 0 0 186 0 0 0 0 0 0\n");
  Q_EMIT bar.任务栏_刷新信息->elapsed();
  EXPECT_EQ(bar.标签_信息上->text(), u"核心：07%  下载：0"_qs);

  Q_EMIT bar.图片框_容器->pointerInside(true);
  EXPECT_EQ(ui::shownTip(), u"电脑已运行：\r\n0天1小时2分3秒"_qs);
  Q_EMIT bar.图片框_容器->pointerInside(false);
  EXPECT_TRUE(ui::shownTip().isEmpty());
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

// A SIGTERM runs the exit steps on the event loop: the settings are saved, the process ends with 0.
TEST_F(ProgramTest, TerminationSignalSavesTheSettingsAndExits) {
  Program program(services());
  program.StartUp();
  control<ui::CheckBox>(program, "选择框_关闭提示")->toggleByUser();
  ASSERT_EQ(::raise(SIGTERM), 0);
  ASSERT_TRUE(test::waitFor([&] { return !exitCodes_.empty(); }));
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
  const IniFile ini(services().settingsFile);
  EXPECT_EQ(ini.read(QStringLiteral("选择框"), QStringLiteral("选择框_关闭提示")), u"真");
  EXPECT_EQ(ini.read(QStringLiteral("初始化"), QStringLiteral("图片比例")), u"24");
}

// Settings restored without any control event still reach the loader and the icon size.
TEST_F(ProgramTest, RestoredOptionsReachTheBrowserAtStartAndAfterASkinChange) {
  sandbox_.write(
      QStringLiteral("config/Pimrose/Pimrose.ini"),
      QStringLiteral("[选择框]\n选择框_快速加载=真\n选择框_关闭提示=真\n[初始化]\n图片比例=30\n").toUtf8());
  Program program(services());
  program.StartUp();
  EXPECT_TRUE(program.browser().loader().state().fastLoading);
  EXPECT_FALSE(program.browser().loader().state().smartRelease);
  EXPECT_EQ(program.browser().lists().iconSize(), 5 * 30 + 150);
  EXPECT_TRUE(program.state().tipsOff);

  // The file changes behind the program's back; the next skin change saves, then restores.
  control<ui::CheckBox>(program, "选择框_智能释放内存")->setChecked(true);
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(1);
  EXPECT_TRUE(program.browser().loader().state().smartRelease);
  control<ui::CheckBox>(program, "选择框_关闭提示")->toggleByUser();
  EXPECT_FALSE(program.state().tipsOff);
  // Set without a toggle event, the box still reaches the tips through the next restore.
  control<ui::CheckBox>(program, "选择框_关闭提示")->setChecked(true);
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(0);
  EXPECT_TRUE(program.state().tipsOff);
}

// The save button reports through the program's sliding notices, failure included, once the file
// has been written in the background.
TEST_F(ProgramTest, SaveButtonResultSlidesInAsANotice) {
  sandbox_.makeFolder(QStringLiteral("blocked.ini"));
  for (const bool writable : {true, false}) {
    ProgramServices s = services();
    if (!writable) s.settingsFile = sandbox_.filePath(QStringLiteral("blocked.ini"));
    Program program(std::move(s));
    program.StartUp();
    Q_EMIT program.windows().mainControls().按钮_保存配置->clicked();
    ASSERT_TRUE(test::waitFor([&] { return !program.overlays().notices->shownNotices().empty(); }));
    const std::vector<ui::GroupBox*> shown = program.overlays().notices->shownNotices();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front()->text(), writable ? u"保存配置完成" : u"保存配置失败");
  }
}

TEST_F(ProgramTest, HotkeyCallsTheMainWindowUpAndHidesIt) {
  auto fake = std::make_unique<FakeGlobalHotkey>();
  FakeGlobalHotkey* hotkey = fake.get();
  sandbox_.write(QStringLiteral("config/Pimrose/Pimrose.ini"),
                 QStringLiteral("[选择框]\n选择框_呼出窗口热键=真\n[组合框]\n下拉框_热键=4<|>F5\n").toUtf8());
  ProgramServices s = services();
  s.makeHotkey = [&fake] { return std::move(fake); };
  Program program(std::move(s));
  program.StartUp();
  EXPECT_EQ(control<ui::CheckBox>(program, "选择框_呼出窗口热键")->statusText(), u"热键注册失败")
      << "the list was emptied by a value without items, so no key is chosen";
  control<ui::ComboBox>(program, "下拉框_热键")->insertItem(QStringLiteral("F1"));
  control<ui::ComboBox>(program, "下拉框_热键")->setCurrentIndex(0);
  Q_EMIT control<ui::ComboBox>(program, "下拉框_热键")->currentIndexChanged(0);
  ASSERT_EQ(program.settings().page()->hotkeyId(), 33002);
  EXPECT_TRUE(program.windows().mainWindow().isVisible());
  hotkey->press(1);
  EXPECT_FALSE(program.windows().mainWindow().isVisible());
  hotkey->press(1);
  EXPECT_TRUE(program.windows().mainWindow().isVisible());
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

// The log window is built late (after the first paint, or at the first corner click): what
// happened before must show in it as if it had existed all along. Here the window starts hidden
// into the tray, so nothing is painted and the log window waits.
TEST_F(ProgramTest, ALateLogWindowWearsTheChosenSkinAndHoldsTheLinesLoggedBeforeIt) {
  Program program(services(5'000, false, true));
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  ASSERT_FALSE(program.windows().mainWindow().isVisible());
  installLogSink();
  const QStringList early = {QStringLiteral("早 one"), QStringLiteral("早 two"), QStringLiteral("早 three")};
  for (const QString& line : early) qCWarning(lcApp).noquote() << line;
  ASSERT_TRUE(
      test::waitFor([&] { return program.windows().waitingLogLines() >= std::size_t(early.size()); }));
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(1);
  ASSERT_FALSE(program.windows().logWindowBuilt());

  QTest::mouseClick(&program.windows().mainWindow(), Qt::LeftButton, {}, QPoint(4, 16));
  ASSERT_TRUE(program.windows().logWindowBuilt());
  EXPECT_TRUE(program.windows().logWindow().isVisible()) << "the click that built it also shows it";
  EXPECT_EQ(program.windows().logWindow().skinIndex(), 1);
  EXPECT_EQ(program.windows().waitingLogLines(), 0u);

  // Lines logged before and after the build follow each other, numbered in arrival order.
  qCWarning(lcApp).noquote() << "晚 four";
  ui::ReportList& list = *program.windows().logControls().超级列表框_日志;
  ASSERT_TRUE(test::waitFor(
      [&] { return list.itemCount() > 0 && list.itemTitle(list.itemCount() - 1, 2) == u"晚 four"; }));
  QStringList texts;
  std::vector<qulonglong> numbers;
  for (int row = 0; row < list.itemCount(); ++row) {
    texts.append(list.itemTitle(row, 2));
    numbers.push_back(list.itemTitle(row, 0).toULongLong());
  }
  EXPECT_EQ(texts.mid(texts.indexOf(early.first()), 4), early + QStringList{QStringLiteral("晚 four")});
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
  EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
}

// Shown at once, the program builds the log window right after its first paint, not before it; the
// main window's icon for the window manager comes then too.
TEST_F(ProgramTest, TheLogWindowIsBuiltOnceTheMainWindowHasBeenPainted) {
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  EXPECT_FALSE(program.windows().logWindowBuilt());
  EXPECT_EQ(program.windows().mainControls().窗口EX1->icon().size(), QSize(256, 256)) << "the caption's";
  EXPECT_TRUE(test::waitFor([&] { return program.windows().logWindowBuilt(); }));
  EXPECT_FALSE(program.windows().logWindow().isVisible());
  EXPECT_EQ(program.windows().mainWindow().windowIcon().availableSizes(), QList<QSize>{QSize(256, 256)});
  EXPECT_FALSE(QApplication::windowIcon().isNull());
}

}  // namespace
}  // namespace pimrose

namespace pimrose {
namespace {

// The float window is built late too: the option box toggled before it exists builds and shows it
// in the chosen skin, and from then on the window follows the box by itself.
TEST_F(ProgramTest, ALateFloatWindowFollowsItsOptionFromTheFirstToggle) {
  Program program(services(5'000, false, true));  // hidden into the tray: nothing is painted
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  ASSERT_FALSE(program.windows().floatWindowBuilt());
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(1);
  ui::CheckBox* box = program.windows().mainControls().选择框_显示悬浮图标;
  box->toggleByUser();
  ASSERT_TRUE(program.windows().floatWindowBuilt());
  EXPECT_TRUE(program.windows().floatWindow().isVisible());
  EXPECT_EQ(program.windows().floatWindow().skinIndex(), 1);
  box->toggleByUser();
  EXPECT_FALSE(program.windows().floatWindow().isVisible());
  box->toggleByUser();
  EXPECT_TRUE(program.windows().floatWindow().isVisible());
}

// A saved "show the float icon" shows it with the start, before any paint.
TEST_F(ProgramTest, ASavedFloatOptionShowsTheFloatWindowAtStart) {
  {
    Program first(services());
    ASSERT_EQ(first.StartUp(), Program::Start::Running);
    first.windows().mainControls().选择框_显示悬浮图标->toggleByUser();
    first.ExitProgram();
  }
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  ASSERT_TRUE(program.windows().floatWindowBuilt());
  EXPECT_TRUE(program.windows().floatWindow().isVisible());
}

}  // namespace
}  // namespace pimrose
