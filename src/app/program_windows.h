#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

#include "platform/boot_clock.h"
#include "settings/app_state.h"
#include "system/log_feed.h"
#include "system/system_files.h"
#include "ui/float_window_controls.h"
#include "ui/log_window_controls.h"
#include "ui/main_window_controls.h"
#include "ui/taskbar_widget_controls.h"
#include "ui/text_popup_window_controls.h"
#include "ui/window.h"

namespace pimrose {

class FloatWindow;
class LoadSampler;
class OsFacts;
class LogWindowController;
class MainWindowHandlers;

// The program's five windows and their skin.
//
// The main window is made, hidden, with this object; loadOtherWindows adds the text popup and, when
// switched on, the taskbar widget. The log window and the float window are built when something first
// needs them, after the main window's first paint at the latest, in the skin worn at that moment; log
// lines that arrive before the log window exists wait for it (the newest it would keep). Everything
// runs on the UI thread.
class ProgramWindows : public QObject {
  Q_OBJECT

 public:
  struct Calls {
    std::function<void()> popUpFloatMenu;      // the floating icon's and the taskbar widget's menu
    std::function<void(int skin)> chooseSkin;  // the skin box of the settings page changed
    std::function<void()> textPopupGone;       // ends the process at once
  };
  struct TaskbarFacts {
    const OsFacts& osFacts;   // the memory figures
    SystemFiles systemFiles;  // the other load figures' sources
    BootClock bootClock;      // the uptime tip
  };

  ProgramWindows(LogFeed& logFeed, const AppState& state, Calls calls, TaskbarFacts taskbar);
  ~ProgramWindows() override;

  // The text popup (owned by the main window) and, when the state asks for it, the taskbar widget;
  // the float window is built by its option box as well from here on.
  void loadOtherWindows();
  // The main window's own gestures (pages, grip, size limits, skin choice, the log window's corner).
  void wireMainWindow();
  // Its size, caption and icon.
  void dressMainWindow();
  // The float window, shown, when its option is checked; the log window and a hidden float window
  // once the first picture has been painted.
  void showCompanions();
  // Every window that exists, in skin 0 "黑色" or 1 "白色".
  void applySkin(int skin);

  ui::Window& mainWindow() const { return *mainWindow_; }
  ui::Window& textPopupWindow() const { return *textPopupWindow_; }
  // The typed controls of each window, resolved when it loaded (the taskbar widget's only when it exists).
  const ui::MainWindowControls& mainControls() const { return main_; }
  const ui::TextPopupWindowControls& textPopupControls() const { return textPopup_; }
  const ui::TaskbarWidgetControls& taskbarControls() const { return taskbar_; }
  ui::Window& logWindow();
  const ui::LogWindowControls& logControls();
  bool logWindowBuilt() const { return logWindow_ != nullptr; }
  std::size_t waitingLogLines() const { return earlyLogLines_.size(); }
  ui::Window& floatWindow();
  const ui::FloatWindowControls& floatControls();
  bool floatWindowBuilt() const { return floatWindow_ != nullptr; }
  // The floating icon's behaviour (its window is floatWindow()).
  FloatWindow& floatIcon() { return *ensureFloatWindow(); }
  ui::Window* taskbarWidget() const { return taskbarWidget_.get(); }

 private:
  LogWindowController* ensureLogWindow();
  FloatWindow* ensureFloatWindow();
  void keepEarlyLogLines(const std::vector<LogLine>& lines);
  void makeTaskbarWidget();

  LogFeed& logFeed_;
  const AppState& state_;
  Calls calls_;
  TaskbarFacts taskbarFacts_;
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
  FloatWindow* floatIcon_ = nullptr;  // owned by the float window
  std::unique_ptr<ui::Window> taskbarWidget_;
  ui::TaskbarWidgetControls taskbar_;
  std::unique_ptr<LoadSampler> loadSampler_;  // made with the taskbar widget, once per run
};

}  // namespace pimrose
