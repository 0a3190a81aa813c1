#include <QGuiApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "platform/fake_global_hotkey.h"

namespace pimrose {
namespace {

// Identifiers count registrations, failed ones too, and are never handed out twice.
TEST(GlobalHotkeyTest, IdentifiersCountEveryRegistration) {
  FakeGlobalHotkey hotkey;
  hotkey.heldElsewhere = {5};
  EXPECT_EQ(hotkey.registerHotkey(0, kVirtualKeyF1), 33001);
  EXPECT_EQ(hotkey.registerHotkey(0, kVirtualKeyF1 + 4), 0);  // F5 is taken
  EXPECT_EQ(hotkey.registerHotkey(0, 65), 0);                 // not a function key
  EXPECT_TRUE(hotkey.unregisterHotkey(33001));
  EXPECT_FALSE(hotkey.unregisterHotkey(33001));
  EXPECT_FALSE(hotkey.unregisterHotkey(0));
  EXPECT_EQ(hotkey.registerHotkey(0, kVirtualKeyF12), 33004);
  EXPECT_EQ(hotkey.grabs.value(33004).functionKey, 12);
  EXPECT_EQ(hotkey.registerHotkey(3, kVirtualKeyF1 + 1), 33005);
  EXPECT_EQ(hotkey.grabs.value(33005).modifiers, Qt::ControlModifier | Qt::ShiftModifier);
}

TEST(GlobalHotkeyTest, PressesReachOnlyRegisteredKeys) {
  FakeGlobalHotkey hotkey;
  QSignalSpy pressed(&hotkey, &GlobalHotkey::pressed);
  const int id = hotkey.registerHotkey(0, kVirtualKeyF1 + 4);
  hotkey.press(5);
  hotkey.press(6);
  ASSERT_EQ(pressed.size(), 1);
  EXPECT_EQ(pressed.takeFirst().at(0).toInt(), id);
  hotkey.unregisterHotkey(id);
  hotkey.press(5);
  EXPECT_TRUE(pressed.isEmpty());
}

// Offscreen there is no X server: every registration fails, nothing crashes.
TEST(GlobalHotkeyTest, WithoutX11RegistrationFails) {
  const std::unique_ptr<GlobalHotkey> hotkey = makeGlobalHotkey();
  if (QGuiApplication::platformName() == u"xcb") GTEST_SKIP() << "running on X11";
  EXPECT_EQ(hotkey->registerHotkey(0, kVirtualKeyF1), 0);
  EXPECT_FALSE(hotkey->unregisterHotkey(33001));
}

}  // namespace
}  // namespace pimrose
