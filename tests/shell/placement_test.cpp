#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>

#include "shell/monitor_placement.h"
#include "shell/screen_placement.h"
#include "shell/taskbar_placement.h"

namespace pimrose {
namespace {

const std::vector<QRect> kOneScreen{QRect(0, 0, 1920, 1080)};
// A second screen to the right, with its own origin and size.
const std::vector<QRect> kTwoScreens{QRect(0, 0, 1920, 1080), QRect(1920, 200, 1280, 1024)};

TEST(ListMonitors, RecordsEachScreenAndWhichHoldsTheWindow) {
  const std::vector<MonitorRecord> records = listMonitors(kTwoScreens, 0, QRect(1700, 300, 600, 400));
  ASSERT_EQ(records.size(), 2u);
  const MonitorRecord& second = records[1];
  EXPECT_EQ((std::array{second.left, second.right, second.top, second.bottom, second.width, second.height}),
            (std::array{1920, 3200, 200, 1224, 1280, 1024}));
  EXPECT_TRUE(records[0].isPrimary);
  EXPECT_FALSE(second.isPrimary);
  // 380 of the 600 pixels of width lie on the second screen.
  EXPECT_FALSE(records[0].holdsWindow);
  EXPECT_TRUE(second.holdsWindow);
  EXPECT_TRUE(second.holdsWindowRect);
  EXPECT_TRUE(records[0].holdsOrigin);
  EXPECT_EQ(records[0].windowMonitorIndex, 2);
  EXPECT_EQ(second.windowMonitorIndex, 0);
}

TEST(ListMonitors, AWindowOnNoScreenBelongsToTheNearest) {
  EXPECT_EQ(screenHolding(kTwoScreens, QRect(4000, 500, 100, 100)), 1);
  EXPECT_EQ(screenHolding(kTwoScreens, QRect(-900, -900, 100, 100)), 0);
  EXPECT_EQ(screenHolding({}, QRect(0, 0, 10, 10)), -1);
  EXPECT_TRUE(listMonitors({}, -1, QRect(0, 0, 10, 10)).empty());
}

struct ToggleCase {
  const char* what;
  std::vector<QRect> screens;
  QRect window;
  int reserve;
  QRect maximised;
};

TEST(ToggleMaximised, FillsTheHoldingScreenLessTheReserveAndComesBack) {
  const ToggleCase cases[] = {
      {"reserve kept for the taskbar", kOneScreen, QRect(100, 80, 1200, 700), kMaximiseReserve,
       QRect(0, 0, 1920, 1040)},
      {"whole screen", kOneScreen, QRect(100, 80, 1200, 700), 0, QRect(0, 0, 1920, 1080)},
      {"second screen, its own origin", kTwoScreens, QRect(2000, 300, 1200, 700), kMaximiseReserve,
       QRect(1920, 200, 1280, 984)},
      {"mostly on the second screen", kTwoScreens, QRect(1500, 300, 1200, 700), 0,
       QRect(1920, 200, 1280, 1024)},
  };
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(c.what);
    QRect saved;
    const QRect maximised = toggleMaximised(c.window, listMonitors(c.screens, 0, c.window), c.reserve, saved);
    EXPECT_EQ(maximised, c.maximised);
    EXPECT_EQ(saved, c.window);
    EXPECT_EQ(toggleMaximised(maximised, listMonitors(c.screens, 0, maximised), c.reserve, saved), c.window);
  }
}

// A screen smaller than the window's 1200 x 700 minimum: the window gets the screen's box grown to
// its minimum, and that box counts as maximised, so toggles keep alternating.
TEST(ToggleMaximised, OnAScreenSmallerThanTheMinimumTogglesKeepAlternating) {
  const QSize minimum(1200, 700);
  const ToggleCase cases[] = {
      {"1280 x 720, reserve kept",
       {QRect(0, 0, 1280, 720)},
       QRect(50, 50, 1200, 700),
       kMaximiseReserve,
       QRect(0, 0, 1280, 700)},
      {"1024 x 768, reserve kept",
       {QRect(0, 0, 1024, 768)},
       QRect(50, 50, 1200, 700),
       kMaximiseReserve,
       QRect(0, 0, 1200, 728)},
      {"1024 x 768, whole screen",
       {QRect(0, 0, 1024, 768)},
       QRect(50, 50, 1200, 700),
       0,
       QRect(0, 0, 1200, 768)},
  };
  for (const ToggleCase& c : cases) {
    SCOPED_TRACE(c.what);
    QRect saved;
    QRect box = c.window;
    for (const QRect& expected : {c.maximised, c.window, c.maximised}) {
      box = toggleMaximised(box, listMonitors(c.screens, 0, box), c.reserve, saved, minimum);
      EXPECT_EQ(box, expected);
    }
  }
}

TEST(ToggleMaximised, ChangingTheReserveWhileMaximisedMaximisesAgain) {
  QRect saved;
  const QRect before(100, 80, 1200, 700);
  const QRect full = toggleMaximised(before, listMonitors(kOneScreen, 0, before), 0, saved);
  const QRect clear = toggleMaximised(full, listMonitors(kOneScreen, 0, full), kMaximiseReserve, saved);
  EXPECT_EQ(clear, QRect(0, 0, 1920, 1040));
  EXPECT_EQ(saved, full);
}

TEST(ToggleMaximised, AWindowThatLooksMaximisedStaysWithNothingSaved) {
  QRect saved;
  const QRect full(0, 0, 1920, 1080);
  EXPECT_EQ(toggleMaximised(full, listMonitors(kOneScreen, 0, full), 0, saved), full);
  EXPECT_TRUE(saved.isEmpty());
}

TEST(PlaceWidget, LeavesTheTaskListUpToTheWidgetAtTheBandsRightEnd) {
  const TaskbarPlacement place = placeWidget(QRect(0, 1040, 1000, 40), QRect(0, 1040, 1000, 40), 208, 208);
  EXPECT_EQ(place.taskList, QRect(0, 0, 792, 40));
  EXPECT_EQ(place.widget, QRect(792, 3, 208, 40));
}

TEST(PlaceWidget, FollowsAResizedPanel) {
  const TaskbarPlacement place = placeWidget(QRect(0, 0, 1600, 48), QRect(60, 0, 1400, 48), 208, 208);
  EXPECT_EQ(place.taskList, QRect(0, 0, 1192, 48));
  EXPECT_EQ(place.widget, QRect(1192, 3, 208, 48));
}

class MaximiseToggleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(40, 30, 400, 300);
    window.show();
  }
  void doubleClickAt(int y) {
    const QPoint local(50, y);
    QMouseEvent event(QEvent::MouseButtonDblClick, local, window.mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
  }
  QRect screen() const { return QGuiApplication::primaryScreen()->geometry(); }

  QWidget window;
  bool keepClear = true;
  MaximiseToggle toggle{window, [this] { return keepClear; }};
};

TEST_F(MaximiseToggleTest, ADoubleClickInTheTopStripTogglesTheWindow) {
  doubleClickAt(MaximiseToggle::kCaptionStrip);
  EXPECT_EQ(window.geometry(), screen().adjusted(0, 0, 0, -kMaximiseReserve));
  doubleClickAt(5);
  EXPECT_EQ(window.geometry(), QRect(40, 30, 400, 300));
}

TEST_F(MaximiseToggleTest, ADoubleClickLowerDownDoesNothing) {
  doubleClickAt(MaximiseToggle::kCaptionStrip + 1);
  EXPECT_EQ(window.geometry(), QRect(40, 30, 400, 300));
}

TEST_F(MaximiseToggleTest, TheOptionDecidesTheReserve) {
  keepClear = false;
  toggle.toggleMaximised();
  EXPECT_EQ(window.geometry(), screen());
}

// In a Wayland session the compositor maximises and restores: a box of our own making would land
// wherever the compositor puts it.
TEST_F(MaximiseToggleTest, WhereTheCompositorPlacesWindowsItIsAskedToMaximise) {
  MaximiseToggle compositor(
      window, [] { return true; }, true);
  compositor.toggleMaximised();
  EXPECT_TRUE(window.isMaximized());
  compositor.toggleMaximised();
  EXPECT_FALSE(window.isMaximized());
  EXPECT_EQ(window.size(), QSize(400, 300));
}

}  // namespace
}  // namespace pimrose
