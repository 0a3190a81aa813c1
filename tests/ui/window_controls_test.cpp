#include <gtest/gtest.h>

#include "ui/check_box.h"
#include "ui/float_window_controls.h"
#include "ui/log_window_controls.h"
#include "ui/main_window_controls.h"
#include "ui/taskbar_widget_controls.h"
#include "ui/text_popup_window_controls.h"
#include "ui/window.h"

namespace pimrose::ui {
namespace {

template <class Controls>
QStringList failuresOf(const WindowDefinition& definition) {
  const std::unique_ptr<Window> window = loadWindow(definition);
  Controls controls;
  return bindControls(*window, controls);
}

// Every window's struct matches its table: each member finds a control of its class.
TEST(WindowControls, EveryWindowBindsEveryMember) {
  EXPECT_EQ(failuresOf<MainWindowControls>(mainWindowDefinition()), QStringList());
  EXPECT_EQ(failuresOf<TextPopupWindowControls>(textPopupWindowDefinition()), QStringList());
  EXPECT_EQ(failuresOf<LogWindowControls>(logWindowDefinition()), QStringList());
  EXPECT_EQ(failuresOf<FloatWindowControls>(floatWindowDefinition()), QStringList());
  EXPECT_EQ(failuresOf<TaskbarWidgetControls>(taskbarWidgetDefinition()), QStringList());
}

TEST(WindowControls, MembersPointAtTheControlsOfTheirName) {
  const std::unique_ptr<Window> window = loadWindow(mainWindowDefinition());
  const auto controls = resolveControls<MainWindowControls>(*window);
  EXPECT_EQ(controls.选择框_显示悬浮图标, window->findControl(QStringLiteral("选择框_显示悬浮图标")));
  EXPECT_EQ(controls.窗口EX1, window->skin());
}

// A table that lost a control, or gives it another class, is reported with every mismatch.
TEST(WindowControls, MissingOrWronglyTypedControlsAreAllReported) {
  WindowDefinition definition = floatWindowDefinition();
  definition.controls[0].cls = ControlClass::ChoiceboxEx;  // 图片框_icon is no longer a picture box
  definition.controls.pop_back();                          // 窗口EX1 is gone
  EXPECT_EQ(failuresOf<FloatWindowControls>(definition),
            QStringList({QStringLiteral("图片框_icon:pimrose::ui::PictureBox"),
                         QStringLiteral("窗口EX1:pimrose::ui::WindowSkin")}));
}

TEST(WindowControlsDeathTest, ResolvingAWindowThatDoesNotMatchStops) {
  WindowDefinition definition = floatWindowDefinition();
  definition.controls.pop_back();
  const std::unique_ptr<Window> window = loadWindow(definition);
  EXPECT_DEATH(resolveControls<FloatWindowControls>(*window), "窗口EX1");
}

}  // namespace
}  // namespace pimrose::ui
