#pragma once

#include <QObject>

#include <memory>

#include "app/app_state.h"
#include "app/program_services.h"
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
class TrayIcon;

// The running program: its windows, its state and the handlers that make it Pimrose.
//
// Construction creates the tray icon object, the drop receiver and the main window, hidden, from
// its table; `StartUp` then brings the program up in a fixed order. Everything runs on the UI thread.
class Program : public QObject {
  Q_OBJECT

 public:
  enum class Start { Running, AnotherInstanceRuns };

  explicit Program(ProgramServices services);
  ~Program() override;

  Start StartUp();
  // Saves the settings, lets go of the instance name, removes the tray icon and ends the process.
  void ExitProgram();

  ui::Window& mainWindow() const { return *mainWindow_; }
  ui::Window& textPopupWindow() const { return *textPopupWindow_; }
  ui::Window& logWindow() const { return *logWindow_; }
  // The typed controls of each window, resolved when it loaded (the taskbar widget's only when it exists).
  const ui::MainWindowControls& mainControls() const { return main_; }
  const ui::TextPopupWindowControls& textPopupControls() const { return textPopup_; }
  const ui::LogWindowControls& logControls() const { return log_; }
  const ui::FloatWindowControls& floatControls() const { return float_; }
  const ui::TaskbarWidgetControls& taskbarControls() const { return taskbar_; }
  ui::Window& floatWindow() const { return *floatWindow_; }
  ui::Window* taskbarWidget() const { return taskbarWidget_.get(); }
  Browser& browser() const { return *browser_; }
  Menus& menus() const { return *menus_; }
  const AppState& state() const { return state_; }
  const ProgramServices& services() const { return services_; }

 private:
  void loadOtherWindows();
  void dressMainWindow();
  void addTrayIcon();
  bool IsAnotherInstance(const QString& name);
  void showFirstInstance();
  void InitSettings();
  void RestoreSettings();
  void SaveSettings();
  void ApplySkin();
  void applySkinColour(int skin);
  void initHotkey();
  void applyUpTimeRule();
  void showOpeningLine();
  void connectWindowEvents();
  void connectFloatWindow();
  bool onCloseRequested();
  void onCaptionButton(ui::CaptionButton button);

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
  std::unique_ptr<ui::Window> floatWindow_;
  ui::FloatWindowControls float_;
  std::unique_ptr<ui::Window> taskbarWidget_;
  ui::TaskbarWidgetControls taskbar_;
  std::unique_ptr<Browser> browser_;
  std::unique_ptr<Menus> menus_;
  std::unique_ptr<LogFeed> logFeed_;
  bool exiting_ = false;
};

}  // namespace pimrose
