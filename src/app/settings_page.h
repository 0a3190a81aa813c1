#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "ui/main_window_controls.h"

namespace pimrose {

class GlobalHotkey;
class NoticeSink;
class Settings;

// The options of the settings page that act at once: the save button, start with the session, the
// hotkey that calls the main window up, and switching tips off.
//
// Usage (after the settings were restored):
//   SettingsPage page(mainWindow, controls, settings, {...});
//   page.initHotkey();                                  // registers from the restored states
//   autostartBox->setChecked(page.AutostartExists());
class SettingsPage : public QObject {
  Q_OBJECT

 public:
  struct Services {
    QString autostartFile;  // the XDG autostart entry
    QString program;        // this executable, absolute
    GlobalHotkey* hotkey;   // the desktop's hotkeys
    NoticeSink* notices;    // where results are reported
    std::function<void()> toggleMainWindow;
    std::function<void(bool)> tipsOffChanged;
  };

  SettingsPage(ui::Window& mainWindow, const ui::MainWindowControls& controls, Settings& settings,
               Services services);

  // Start-up: registers the hotkey when its box is checked and says so on the box.
  void initHotkey();
  // The box or the key changed: the old key is released, the new one taken (or none).
  void UpdateHotkey();
  void SetAutostart(bool on);
  bool AutostartExists() const;
  // The save button: "保存配置完成" once the file is written, "保存配置失败" when it could not be
  // (a read-only file, one that could not be read, a folder or FIFO in its place).
  void saveByUser();

  // The identifier of the registered hotkey, 0 when none.
  int hotkeyId() const { return hotkeyId_; }

 private:
  void connectControls();
  int registerChosenKey();
  void showHotkeyStatus();
  void onHotkeyPressed(int id);
  void onHotkeySettled(int id, bool held);

  ui::MainWindowControls ui_;  // pointers into the main window, the page's parent
  Settings& settings_;
  Services services_;
  int hotkeyId_ = 0;
};

}  // namespace pimrose
