#pragma once

#include <QObject>

#include <memory>

#include "app/app_state.h"
#include "app/overlays.h"
#include "app/program_services.h"
#include "ui/window.h"

namespace pimrose {

class Browser;
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
  // Shows the main window normally and in front, also from hidden or minimised.
  void showMainWindow();

  ui::Window& mainWindow() const { return *mainWindow_; }
  ui::Window& textPopupWindow() const { return *textPopupWindow_; }
  ui::Window& logWindow() const { return *logWindow_; }
  ui::Window& floatWindow() const { return *floatWindow_; }
  ui::Window* taskbarWidget() const { return taskbarWidget_.get(); }
  Browser& browser() const { return *browser_; }
  const AppState& state() const { return state_; }
  // Notices, the prompt, pointer tips and the mask; set once StartUp has loaded the windows.
  const Overlays& overlays() const { return overlays_; }
  const ProgramServices& services() const { return services_; }

 private:
  void loadOtherWindows();
  void dressMainWindow();
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
  void onCloseRequested(bool* allow);
  void onCaptionButton(int index);

  ProgramServices services_;
  AppState state_;
  std::unique_ptr<TrayIcon> trayIcon_;
  std::unique_ptr<DropReceiver> dropReceiver_;
  std::unique_ptr<InstanceChannel> instance_;
  std::unique_ptr<ui::Window> mainWindow_;
  std::unique_ptr<ui::Window> textPopupWindow_;
  std::unique_ptr<ui::Window> logWindow_;
  std::unique_ptr<ui::Window> floatWindow_;
  std::unique_ptr<ui::Window> taskbarWidget_;
  std::unique_ptr<Browser> browser_;
  Overlays overlays_;
  bool exiting_ = false;
};

}  // namespace pimrose
