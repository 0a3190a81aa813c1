#pragma once

#include <QObject>

#include <memory>
#include <vector>

#include "app/program_services.h"
#include "commands/command_context.h"
#include "commands/notice_sink.h"
#include "notices/notices.h"
#include "notices/overlays.h"
#include "settings/app_state.h"
#include "system/log_feed.h"
#include "ui/caption_buttons.h"
#include "ui/float_window_controls.h"
#include "ui/log_window_controls.h"
#include "ui/main_window_controls.h"
#include "ui/taskbar_widget_controls.h"
#include "ui/text_popup_window_controls.h"
#include "ui/window.h"

namespace pimrose {

class Browser;
class Menus;
class DropReceiver;
class Errands;
class FloatWindow;
class LoadSampler;
class LogWindowController;
class MainWindowHandlers;
class MaximiseToggle;
class ExitSignals;
class OsFacts;
class Settings;
class SettingsPage;
class TrayIcon;
enum class SendAway;

// The running program: its windows, its state and the handlers that make it Pimrose.
//
// Construction creates the tray icon object, the drop receiver and the main window, hidden, from
// its table; `StartUp` then brings the program up in a fixed order. Everything runs on the UI thread.
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
  // The tray icon's event routine: a left press shows the main window, a right press opens the tray
  // menu; a host that comes back gets the icon again, one that goes away leaves no window hidden.
  void onTrayEvent(int code);

  ui::Window& mainWindow() const { return *mainWindow_; }
  ui::Window& textPopupWindow() const { return *textPopupWindow_; }
  // The log window is built after the main window's first paint, or sooner when something needs it;
  // lines logged before then wait for it.
  ui::Window& logWindow();
  bool logWindowBuilt() const { return logWindow_ != nullptr; }
  std::size_t waitingLogLines() const { return earlyLogLines_.size(); }
  // The typed controls of each window, resolved when it loaded (the taskbar widget's only when it exists).
  const ui::MainWindowControls& mainControls() const { return main_; }
  const ui::TextPopupWindowControls& textPopupControls() const { return textPopup_; }
  const ui::LogWindowControls& logControls();
  const ui::FloatWindowControls& floatControls();
  const ui::TaskbarWidgetControls& taskbarControls() const { return taskbar_; }
  // Built after the first paint as the log window is, or at once when the option shows it.
  ui::Window& floatWindow();
  bool floatWindowBuilt() const { return floatWindow_ != nullptr; }
  ui::Window* taskbarWidget() const { return taskbarWidget_.get(); }
  // The floating icon's behaviour (its window is floatWindow()).
  FloatWindow& floatIcon() { return *ensureFloatWindow(); }
  TrayIcon& trayIcon() const { return *trayIcon_; }
  Browser& browser() const { return *browser_; }
  Menus& menus() const { return *menus_; }
  Settings& settings() const { return *settings_; }
  SettingsPage* settingsPage() const { return settingsPage_; }
  const AppState& state() const { return state_; }
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
  // Notices, the prompt, pointer tips and the mask; set once StartUp has loaded the windows.
  const Overlays& overlays() const { return overlays_; }
  const ProgramServices& services() const { return services_; }

 private:
  void loadOtherWindows();
  LogWindowController* ensureLogWindow();
  FloatWindow* ensureFloatWindow();
  void keepEarlyLogLines(const std::vector<LogLine>& lines);
  void dressMainWindow();
  void addTrayIcon();
  bool IsAnotherInstance(const QString& name);
  void showFirstInstance();
  void InitSettings();
  void RestoreSettings();
  void SaveSettings();
  void ApplySkin();
  void applySkinColour(int skin);
  void applyRestoredOptions();
  void initHotkey();
  void createSettingsPage();
  void watchSessionEnd();
  void applyUpTimeRule();
  void showOpeningLine();
  void connectWindowEvents();
  void openPictureMenu(int index);
  bool onCloseRequested();
  void onCaptionButton(ui::CaptionButton button);
  void wireShell();
  void makeTaskbarWidget();
  void sendAway(SendAway where);

  ProgramServices services_;
  AppState state_;
  std::unique_ptr<TrayIcon> trayIcon_;
  std::unique_ptr<DropReceiver> dropReceiver_;
  std::unique_ptr<InstanceChannel> instance_;
  std::unique_ptr<ui::Window> mainWindow_;
  ui::MainWindowControls main_;
  ui::Window* textPopupWindow_ = nullptr;  // owned by the main window
  ui::TextPopupWindowControls textPopup_;
  ui::Window* logWindow_ = nullptr;  // owned by the main window
  ui::LogWindowControls log_;
  LogWindowController* logController_ = nullptr;  // owned by the log window
  std::vector<LogLine> earlyLogLines_;            // until the log window is built
  QMetaObject::Connection earlyLogLinesKept_;
  MainWindowHandlers* mainHandlers_ = nullptr;  // owned by the main window
  std::unique_ptr<ui::Window> floatWindow_;
  ui::FloatWindowControls float_;
  std::unique_ptr<ui::Window> taskbarWidget_;
  ui::TaskbarWidgetControls taskbar_;
  std::unique_ptr<Browser> browser_;
  std::unique_ptr<Menus> menus_;
  std::unique_ptr<LogFeed> logFeed_;
  std::unique_ptr<FileManager> fileManager_;
  std::unique_ptr<OsFacts> osFacts_;          // made at start, for the run
  std::unique_ptr<LoadSampler> loadSampler_;  // made with the taskbar widget, once per run
  FloatWindow* floatIcon_ = nullptr;          // owned by the float window
  MaximiseToggle* maximise_ = nullptr;        // owned by the main window
  Overlays overlays_;
  std::unique_ptr<Settings> settings_;
  std::unique_ptr<GlobalHotkey> hotkey_;
  std::unique_ptr<ExitSignals> exitSignals_;
  SettingsPage* settingsPage_ = nullptr;
  bool exiting_ = false;
  // Last, so it goes first: no delivery reaches a member that has gone.
  std::unique_ptr<Errands> errands_;
};

}  // namespace pimrose
