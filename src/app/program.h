#pragma once

#include <QObject>

#include <memory>

#include "app/program_services.h"
#include "commands/command_context.h"
#include "commands/notice_sink.h"
#include "notices/notices.h"
#include "notices/overlays.h"
#include "settings/app_state.h"

namespace pimrose {

class Browser;
class DropReceiver;
class Errands;
class LogFeed;
class OsFacts;
class Menus;
class ProgramWindows;
class SettingsWiring;
class ShellWiring;
class TrayIcon;

// The running program: start-up and exit in their fixed order, and what the commands ask of it.
//
// Construction makes the tray icon object, the drop receiver and the main window, hidden, from its
// table; `StartUp` then brings the program up. The windows (ProgramWindows), the settings
// (SettingsWiring) and the desktop around the program (ShellWiring) are wired in parts of their own.
// Everything runs on the UI thread.
class Program : public QObject, public CommandContext {
  Q_OBJECT

 public:
  enum class Start { Running, AnotherInstanceRuns };

  explicit Program(ProgramServices services);
  ~Program() override;

  Start StartUp();
  // Saves the settings, lets go of the instance name, removes the tray icon and ends the process.
  void ExitProgram();
  // Starts this program again and ends this instance (see RestartProgram); a failed start keeps it.
  void Restart();
  // For the very end of the process, once the event loop is over: the workers of the browser
  // (thumbnails, listing, details, the viewer's decoding) are left to the process's end instead of
  // being waited for, as one of them may be stuck in a call to a hung share.
  void leaveWorkersToTheEnd();

  ProgramWindows& windows() const { return *windows_; }
  ShellWiring& shell() const { return *shell_; }
  SettingsWiring& settings() const { return *settings_; }
  Browser& browser() const { return *browser_; }
  Menus& menus() const { return *menus_; }
  const AppState& state() const { return state_; }
  // Notices, the prompt, pointer tips and the mask; set once StartUp has loaded the windows.
  const Overlays& overlays() const { return overlays_; }
  const ProgramServices& services() const { return services_; }

  // What the commands ask of the program (CommandContext).
  QString chosenPicture() const override;
  NoticeSink& notices() override { return *overlays_.notices; }
  Errands& errands() override { return *errands_; }
  // Null when the services offer none; kept once made, because its answer arrives after the command.
  FileManager* fileManager() override;
  void showMainWindow() override;
  void hideFloatingIcon() override;
  void restart() override { Restart(); }
  void exitProgram() override { ExitProgram(); }

 private:
  bool IsAnotherInstance(const QString& name);
  void showFirstInstance();
  void applySkinColour(int skin);
  void applyRestoredOptions();
  void showOpeningLine();
  void openPictureMenu(int index);

  ProgramServices services_;
  AppState state_;
  std::unique_ptr<TrayIcon> trayIcon_;
  std::unique_ptr<DropReceiver> dropReceiver_;
  std::unique_ptr<InstanceChannel> instance_;
  std::unique_ptr<LogFeed> logFeed_;
  std::unique_ptr<OsFacts> osFacts_;  // made at start, for the run
  std::unique_ptr<ProgramWindows> windows_;
  std::unique_ptr<ShellWiring> shell_;
  std::unique_ptr<Browser> browser_;
  std::unique_ptr<Menus> menus_;
  std::unique_ptr<FileManager> fileManager_;
  Overlays overlays_;
  std::unique_ptr<SettingsWiring> settings_;
  bool exiting_ = false;
  // Last, so it goes first: no delivery reaches a member that has gone.
  std::unique_ptr<Errands> errands_;
};

}  // namespace pimrose
