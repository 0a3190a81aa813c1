#pragma once

#include <QObject>

#include <memory>

namespace pimrose {

// A key combination that reaches the program whichever window has the keyboard focus.
//
// Identifiers are handed out from 33001 up, one per registration whether or not it succeeded, and
// are never reused. A press of a registered combination raises `pressed` with its identifier.
//
// Usage:
//   std::unique_ptr<GlobalHotkey> hotkey = makeGlobalHotkey();
//   connect(hotkey.get(), &GlobalHotkey::pressed, ...);
//   const int id = hotkey->registerHotkey(0, kVirtualKeyF1 + 4);   // F5, no modifier; 0 on failure
//   hotkey->unregisterHotkey(id);
class GlobalHotkey : public QObject {
  Q_OBJECT

 public:
  static constexpr int kFirstId = 33001;

  ~GlobalHotkey() override;

  // `modifiers`: 0 none, 1 Ctrl, 2 Shift, 3 Ctrl+Shift, 4 Alt, 5 Alt+Ctrl, 6 Alt+Shift (other codes
  // count as none). `virtualKey`: F1 (112) to F12 (123); other keys cannot be registered. Answers the
  // identifier, or 0 when the key could not be taken (another program holds it, no X11 session...).
  int registerHotkey(int modifiers, int virtualKey);
  // Releases the registration; false when the identifier holds nothing.
  bool unregisterHotkey(int id);

 Q_SIGNALS:
  void pressed(int id);

 protected:
  // What the system is asked for: Qt-style modifiers and a function key number 1..12.
  virtual bool grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) = 0;
  virtual bool release(int id) = 0;
  // Implementations report presses here; identifiers outside those handed out are ignored.
  void reportPress(int id);

 private:
  int lastId_ = kFirstId - 1;
};

inline constexpr int kVirtualKeyF1 = 112;
inline constexpr int kVirtualKeyF12 = 123;

// The desktop's hotkeys: key grabs on the X11 root window through Qt's own connection; on any other
// platform (a Wayland session, offscreen) every registration fails.
std::unique_ptr<GlobalHotkey> makeGlobalHotkey();

}  // namespace pimrose
