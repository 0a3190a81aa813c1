#pragma once

namespace pimrose::ui {

// Key messages as the edit box reports them: the message code and a virtual key code in the
// numbering the program's handlers use (Enter 13, Escape 27, F1 112, 'A' 65...).
inline constexpr int kKeyDownMessage = 0x100;
inline constexpr int kKeyUpMessage = 0x101;
inline constexpr int kVirtualKeyEnter = 13;

// The virtual key code of a Qt key; 0 for keys without one.
int virtualKeyCode(int qtKey);

}  // namespace pimrose::ui
