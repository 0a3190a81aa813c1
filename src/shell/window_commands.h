#pragma once

class QWidget;

namespace pimrose {

// Calls the main window up (the tray icon, "显示程序", the floating icon, the hotkey): a minimised
// window is restored to the state it had (normal or maximised), then the window is shown and put
// in front of the other windows without taking the keyboard focus from the one the user is typing
// in. Where the compositor stacks the windows (a Wayland session) only an activated window comes
// to the front, so there the window is activated.
void ShowMainWindow(QWidget& mainWindow);

// The same, and the window takes the keyboard focus: a second start of the program asks for it.
void ShowAndActivateMainWindow(QWidget& mainWindow);

// Hides a window that is shown and not minimised; shows one that is hidden or minimised.
void ToggleMainWindow(QWidget& mainWindow);

}  // namespace pimrose
