#pragma once

#include <QObject>

#include <functional>
#include <memory>

#include "platform/boot_clock.h"
#include "ui/caption_buttons.h"
#include "ui/main_window_controls.h"

namespace pimrose {

namespace ui {
class Window;
}  // namespace ui

class ExitSignals;
class MaximiseToggle;
class TrayIcon;
enum class SendAway;

// The program among the desktop's own parts: the tray icon and its events, where the main window
// goes when it is closed or minimised (into the tray only while an icon is really shown), the
// maximise toggle, the up-time rule of start-up, and the session's ends (logout, SIGTERM, SIGINT,
// SIGHUP) that run the program's exit steps. UI thread only.
class ShellWiring : public QObject {
  Q_OBJECT

 public:
  struct Calls {
    std::function<bool()> exiting;  // the exit steps have begun
    std::function<void()> exitProgram;
    std::function<void()> saveSettings;  // the session is about to end
    std::function<void()> popUpTrayMenu;
  };

  ShellWiring(ui::Window& mainWindow, const ui::MainWindowControls& controls, TrayIcon& trayIcon,
              BootClock sessionClock, Calls calls);
  ~ShellWiring() override;

  // The close request and the caption buttons (from construction on); the maximise toggle.
  void wireWindowButtons();
  // Logout and the exit signals end the program through its exit steps.
  void watchSessionEnd();
  // Shows the tray icon with its event routine (not once the exit steps have begun).
  void addTrayIcon();
  void removeTrayIcon();
  // Hides the window into the tray when the program started this soon after the session, shows it
  // restored and in front otherwise.
  void applyUpTimeRule();
  // The tray icon's event routine: a left press shows the main window, a right press opens the tray
  // menu; a host that comes back gets the icon again, one that goes away leaves no window hidden.
  void onTrayEvent(int code);

 private:
  bool onCloseRequested();
  void onCaptionButton(ui::CaptionButton button);
  void sendAway(SendAway where);

  ui::Window& mainWindow_;
  ui::MainWindowControls main_;
  BootClock sessionClock_;  // milliseconds since the user's session began
  Calls calls_;
  TrayIcon& trayIcon_;
  MaximiseToggle* maximise_ = nullptr;  // owned by the main window
  std::unique_ptr<ExitSignals> exitSignals_;
};

}  // namespace pimrose
