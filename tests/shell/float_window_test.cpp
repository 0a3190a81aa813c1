#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/float_window.h"
#include "shell/taskbar_widget.h"
#include "ui/control_binder.h"
#include "ui/controls.h"
#include "ui/main_window_controls.h"
#include "ui/pending_move.h"

namespace pimrose {
namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

class FloatWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::Window> main = ui::loadWindow(ui::mainWindowDefinition());
  std::unique_ptr<ui::Window> window = ui::loadWindow(ui::floatWindowDefinition());
  ui::FloatWindowControls controls = ui::resolveControls<ui::FloatWindowControls>(*window);
  ui::CheckBox* box = ui::resolveControls<ui::MainWindowControls>(*main).选择框_显示悬浮图标;
  int toggles = 0;
  int menus = 0;
  FloatWindow floating{*window, controls, *box, {[this] { ++toggles; }, [this] { ++menus; }}};
  ui::PictureBox* logo = controls.图片框_icon;
};

TEST_F(FloatWindowTest, IsAFocuslessLogoAboveOtherWindowsAtTheTopLeft) {
  box->setChecked(true);
  floating.applyOption();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry(), QRect(0, 0, 48, 48));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::Tool));  // no taskbar entry
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
  EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
  // A size that cannot change: a tiling compositor floats such a window instead of tiling it.
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(logo->image().isNull());
}

TEST_F(FloatWindowTest, ShowsTheLogoOnATransparentBackground) {
  box->setChecked(true);
  floating.applyOption();
  const QImage shot = window->grab().toImage();
  // The logo is round: its corners are see-through, its centre is not.
  EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);
  EXPECT_GT(qAlpha(shot.pixel(24, 24)), 0);
}

TEST_F(FloatWindowTest, FollowsTheOptionBoxBothWays) {
  floating.applyOption();
  EXPECT_FALSE(window->isVisible());
  struct Step {
    const char* what;
    std::function<void()> act;
    bool visible;
  };
  const Step steps[] = {
      {"user checks the box", [&] { box->toggleByUser(); }, true},
      {"user clears the box", [&] { box->toggleByUser(); }, false},
      {"user checks it again", [&] { box->toggleByUser(); }, true},
      {"隐藏悬浮", [&] { floating.hideFloat(); }, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(window->isVisible(), step.visible);
    EXPECT_EQ(box->isChecked(), step.visible);
  }
}

TEST_F(FloatWindowTest, EveryPointOfTheWindowBelongsToTheLogo) {
  for (const QPoint at : {QPoint(1, 1), QPoint(10, 10), QPoint(24, 24), QPoint(46, 46)})
    EXPECT_EQ(window->childAt(at), logo) << at.x() << "," << at.y();
}

TEST_F(FloatWindowTest, DoubleClickTogglesAndRightPressOpensTheMenu) {
  QTest::mouseDClick(logo, Qt::LeftButton, {}, QPoint(24, 24));
  EXPECT_EQ(toggles, 1);
  QTest::mousePress(logo, Qt::RightButton, {}, QPoint(24, 24));
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(toggles, 1);
}

TEST_F(FloatWindowTest, ALeftPressDragsOnlyOnceThePointerTravels) {
  auto* move = logo->findChild<ui::PendingMove*>();
  ASSERT_NE(move, nullptr);
  QSignalSpy started(move, &ui::PendingMove::moveStarted);
  sendMouse(logo, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
  sendMouse(logo, QEvent::MouseMove, QPoint(11, 10), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(started.count(), 0);
  sendMouse(logo, QEvent::MouseMove, QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(started.count(), 1);
  sendMouse(logo, QEvent::MouseMove, QPoint(44, 34), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(started.count(), 1);
}

class TaskbarWidgetTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::Window> window = ui::loadWindow(ui::taskbarWidgetDefinition());
  std::optional<QRect> panel = QRect(0, 1040, 1000, 40);
  ui::TaskbarWidgetControls controls = ui::resolveControls<ui::TaskbarWidgetControls>(*window);
  int menus = 0;
  TaskbarWidget widget{*window, controls, [this] { ++menus; }, [this] { return panel; }};
  ui::Timer* placeTimer = controls.任务栏_刷新位置;
};

TEST_F(TaskbarWidgetTest, IsIdleUntilEmbeddedThenShownAndReplacedEverySecond) {
  EXPECT_EQ(placeTimer->interval(), 0);
  EXPECT_FALSE(window->isVisible());
  widget.embedWidgetInTaskbar();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry(), QRect(792, 1043, 208, 40)) << "placed at once, not a second later";
  EXPECT_EQ(controls.图片框_容器->pos(), QPoint(0, 0));
  EXPECT_EQ(placeTimer->interval(), TaskbarWidget::kPlaceIntervalMs);
}

TEST_F(TaskbarWidgetTest, SitsAtThePanelsRightEndOrStaysWithoutAPanel) {
  widget.embedWidgetInTaskbar();
  widget.placeWidget();
  EXPECT_EQ(window->geometry(), QRect(792, 1043, 208, 40));
  panel = QRect(0, 0, 1600, 48);
  widget.placeWidget();
  EXPECT_EQ(window->geometry(), QRect(1392, 3, 208, 48));
  panel.reset();
  widget.placeWidget();
  EXPECT_EQ(window->geometry(), QRect(1392, 3, 208, 48));
}

TEST_F(TaskbarWidgetTest, RightPressOpensTheFloatingMenu) {
  auto* holder = controls.图片框_容器;
  QTest::mousePress(holder, Qt::RightButton);
  EXPECT_EQ(menus, 1);
  QTest::mousePress(holder, Qt::LeftButton);  // desktop icons: nothing to switch here
  EXPECT_EQ(menus, 1);
}

}  // namespace
}  // namespace pimrose
