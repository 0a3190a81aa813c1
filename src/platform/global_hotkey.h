#pragma once

#include <QObject>
#include <QSet>

#include <memory>

namespace pimrose {

// A key combination that reaches the program whichever window has the keyboard focus.
//
// Identifiers are handed out from 33001 up, one per registration whether or not it succeeded, and
// are never reused. A press of a registered combination raises `pressed` with its identifier.
//
// Some desktops answer a registration later (a portal may first ask the user): registerHotkey then
// answers the identifier at once, isPending() holds until the answer, and `settled` carries it. A
// key held that the desktop takes back later (its session closed) is settled again, as not held.
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
  // Releases the registration (or the question still open); false when the identifier holds nothing.
  bool unregisterHotkey(int id);
  // The desktop has not yet answered the registration `id`.
  bool isPending(int id) const { return pending_.contains(id); }

 Q_SIGNALS:
  void pressed(int id);
  // The desktop's late answer for `id`, or a key it took back (`held` false).
  void settled(int id, bool held);

 protected:
  enum class Grab { Refused, Held, Asked };
  // What the system is asked for: Qt-style modifiers and a function key number 1..12. Asked: the
  // answer comes through settle().
  virtual Grab grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) = 0;
  virtual bool release(int id) = 0;
  // Implementations report presses here; identifiers outside those handed out are ignored.
  void reportPress(int id);
  // Implementations report late answers and keys taken back here.
  void settle(int id, bool held);

 private:
  int lastId_ = kFirstId - 1;
  QSet<int> pending_;
};

inline constexpr int kVirtualKeyF1 = 112;
inline constexpr int kVirtualKeyF12 = 123;

// The desktop's hotkeys: key grabs on the X11 root window through Qt's own connection; in a Wayland
// session (the wayland platform, or X11 clients of an XWayland server, where a root grab hears only
// X11 windows) the org.freedesktop.portal.GlobalShortcuts portal on the session bus, which fails the
// registration where the session offers none; elsewhere (offscreen) every registration fails.
std::unique_ptr<GlobalHotkey> makeGlobalHotkey();

}  // namespace pimrose
