#pragma once

#include <functional>

namespace pimrose {

// Event codes the tray icon hands to its event routine. Mouse events carry the mouse message
// number of the pointer action over the icon; the rest are the icon's own notices.
enum TrayEvent : int {
  kTrayLeftPressed = 0x201,
  kTrayLeftDoubleClicked = 0x203,
  kTrayRightPressed = 0x204,
  kTrayMiddlePressed = 0x207,
  kTrayBalloonClicked = 0x405,
  // The tray host came back after it had gone: the icon is to be added again.
  kTrayEventTaskbarRecreated = 1120,
  kTrayEventWindowDestroyed = 1130,
  // The tray host went away: a window hidden into the tray can no longer be called back from it.
  kTrayEventHostLost = 1140,
};

// What the program does for the tray icon's events; each action may be left empty.
struct TrayActions {
  std::function<void()> showMainWindow;
  std::function<void()> popUpTrayMenu;  // "显示程序", "软件重启", "退出程序" at the pointer
  std::function<void()> addIconAgain;
  std::function<void()> hostLost;
};

// The program's tray event routine: the icon answers a press, not a release; a left press shows
// the main window, a right press opens the tray menu; every other mouse event does nothing.
void onTrayEvent(int code, const TrayActions& actions);

}  // namespace pimrose
