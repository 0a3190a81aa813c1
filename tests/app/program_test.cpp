#include <QTest>

#include <gtest/gtest.h>

#include "app/browser.h"
#include "app/opening_lines.h"
#include "app/program.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "ui/caption_buttons.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

// Stands in for the per-user socket: `others` says whether another instance holds the name.
class FakeInstanceChannel : public InstanceChannel {
 public:
  explicit FakeInstanceChannel(bool others) : others_(others) {}
  bool isAnotherInstance(const QString&) override { return others_; }
  void release() override { released = true; }
  bool released = false;

 private:
  bool others_;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramServices services(std::uint64_t upTimeMs = 3'600'000, bool anotherInstance = false,
                           bool trayHost = true) {
    ProgramServices s;
    s.trayHostPresent = [trayHost] { return trayHost; };
    s.bootClock = [upTimeMs] { return upTimeMs; };
    s.makeInstanceChannel = [this, anotherInstance] {
      auto channel = std::make_unique<FakeInstanceChannel>(anotherInstance);
      channel_ = channel.get();
      return channel;
    };
    s.settingsFile = sandbox_.filePath(QStringLiteral("config/Pimrose/Pimrose.ini"));
    s.autostartFile = sandbox_.filePath(QStringLiteral("config/autostart/Pimrose.desktop"));
    s.drawLine = [this](qsizetype count) { return drawn_ = count; };  // always the last line
    s.endProcess = [this](int code) { exitCodes_.push_back(code); };
    return s;
  }

  template <class T>
  static T* control(Program& program, const char* name) {
    return program.mainWindow().control<T>(QString::fromUtf8(name));
  }

  test::Sandbox sandbox_;
  FakeInstanceChannel* channel_ = nullptr;
  qsizetype drawn_ = 0;
  std::vector<int> exitCodes_;
};

TEST_F(ProgramTest, StartsVisibleWithTheWindowsLoadedAndTheOpeningLineShown) {
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  EXPECT_TRUE(program.mainWindow().isVisible());
  EXPECT_EQ(program.mainWindow().size(), QSize(1200, 700));
  EXPECT_EQ(program.mainWindow().windowTitle(), u"Pimrose");
  EXPECT_FALSE(program.textPopupWindow().isVisible());
  EXPECT_FALSE(program.logWindow().isVisible());
  EXPECT_FALSE(program.floatWindow().isVisible());
  EXPECT_EQ(program.taskbarWidget(), nullptr);
  EXPECT_EQ(control<ui::TextLabel>(program, "标签_当前版本")->text(), u"当前版本: 0.1.0");
  EXPECT_EQ(control<ui::TextLabel>(program, "标签_关于")->text(), u"关于 Pimrose");

  // The status text is one whole line of the greetings: here the last, as the draw says.
  const QStringList lines = openingLineList();
  EXPECT_EQ(drawn_, lines.size());
  EXPECT_EQ(control<ui::EditBox>(program, "标签_提示文本")->text(), lines.last());
  EXPECT_TRUE(exitCodes_.empty());
}

// Without a tray host nothing could call a hidden window back, so an early start leaves it shown.
TEST_F(ProgramTest, UpTimeRuleHidesTheWindowWithinTwoMinutesOfBootIntoATray) {
  struct Case {
    std::uint64_t upTime;
    bool trayHost;
    bool visible;
  };
  for (const Case& c : {Case{120'000, true, false}, Case{5'000, true, false}, Case{120'001, true, true},
                        Case{5'000, false, true}}) {
    Program program(services(c.upTime, false, c.trayHost));
    ASSERT_EQ(program.StartUp(), Program::Start::Running);
    EXPECT_EQ(program.mainWindow().isVisible(), c.visible)
        << "up time " << c.upTime << " tray " << c.trayHost;
  }
}

TEST_F(ProgramTest, SecondInstanceAddsNothingAndEnds) {
  Program program(services(3'600'000, /*anotherInstance=*/true));
  EXPECT_EQ(program.StartUp(), Program::Start::AnotherInstanceRuns);
  EXPECT_FALSE(program.mainWindow().isVisible());
  EXPECT_TRUE(program.mainWindow().windowTitle().isEmpty());
  EXPECT_FALSE(QFile::exists(program.services().settingsFile));
}

TEST_F(ProgramTest, ShowRequestBringsAHiddenOrMinimisedWindowBack) {
  Program program(services());
  ASSERT_EQ(program.StartUp(), Program::Start::Running);
  program.mainWindow().hide();
  Q_EMIT channel_->showRequested();
  EXPECT_TRUE(program.mainWindow().isVisible());
  program.mainWindow().showMinimized();
  Q_EMIT channel_->showRequested();
  EXPECT_FALSE(program.mainWindow().isMinimized());
}

TEST_F(ProgramTest, WithoutSettingsFileTheHintShowsAndTheSliderIsAt24) {
  Program program(services());
  program.StartUp();
  EXPECT_TRUE(control<ui::TextLabel>(program, "标签_使用提示")->isVisibleTo(&program.mainWindow()));
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
    EXPECT_FALSE(control<ui::TextLabel>(program, "标签_使用提示")->isVisibleTo(&program.mainWindow()));
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
  program.mainWindow().close();
  EXPECT_FALSE(program.mainWindow().isVisible());
  EXPECT_TRUE(exitCodes_.empty());

  program.showMainWindow();
  control<ui::CheckBox>(program, "选择框_最小化到托盘")->setChecked(false);
  program.mainWindow().close();
  EXPECT_EQ(exitCodes_, std::vector<int>{0});
  EXPECT_TRUE(channel_->released);
}

TEST_F(ProgramTest, WithoutATrayHostCloseAndTheCaptionButtonsMinimiseInsteadOfHiding) {
  Program program(services(3'600'000, false, false));
  program.StartUp();
  control<ui::CheckBox>(program, "选择框_最小化到托盘")->setChecked(true);
  program.mainWindow().close();
  EXPECT_TRUE(program.mainWindow().isVisible());
  EXPECT_TRUE(program.mainWindow().isMinimized());
  program.showMainWindow();
  for (int button : {ui::kCaptionClose, ui::kCaptionMinimise}) {
    Q_EMIT program.mainWindow().skin()->captionButtonPressed(button);
    EXPECT_TRUE(program.mainWindow().isVisible()) << button;
    program.showMainWindow();
  }
  EXPECT_TRUE(exitCodes_.empty());
}

TEST_F(ProgramTest, DestroyingThePointerTipWindowEndsTheProcessAtOnce) {
  Program program(services());
  program.StartUp();
  Q_EMIT program.textPopupWindow().aboutToBeDestroyed();
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
  EXPECT_EQ(program.state().skinIndex, 1);
  EXPECT_EQ(program.mainWindow().skinIndex(), 0);
  Q_EMIT control<ui::ComboBox>(program, "下拉框_皮肤")->currentIndexChanged(1);
  EXPECT_EQ(program.state().skinIndex, 2);
  EXPECT_EQ(program.mainWindow().skinIndex(), 1);
  EXPECT_EQ(program.logWindow().skinIndex(), 1);
  EXPECT_EQ(program.mainWindow().minimumSize(), QSize(1200, 700));
  program.mainWindow().resize(800, 500);
  EXPECT_EQ(program.mainWindow().size(), QSize(1200, 700));
}

}  // namespace
}  // namespace pimrose
