#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "ui/main_window_controls.h"

namespace pimrose {

namespace ui {
class Window;
}  // namespace ui

class GlobalHotkey;
class NoticeSink;
class Settings;
class SettingsPage;

// The settings around the program: the control states saved to and restored from the settings file
// (Settings), the skin they are dressed in, the settings page's options that act at once
// (SettingsPage), the hotkey and the start-up reading of the icon size. UI thread only.
class SettingsWiring {
 public:
  struct Files {
    QString settingsFile;                                       // the ini file of the control states
    QString autostartFile;                                      // the XDG autostart entry
    QString programFile;                                        // this executable; empty: the running one
    std::function<std::unique_ptr<GlobalHotkey>()> makeHotkey;  // none given: the desktop's
  };
  struct Calls {
    std::function<void(int skin)> skinChosen;  // dresses every window in skin 0 or 1
    std::function<void()> restored;            // the options that act read their restored controls
    std::function<void()> toggleMainWindow;    // the hotkey
    std::function<void(bool on)> tipsOff;      // the tips switch, at start-up and when it changes
  };

  SettingsWiring(ui::Window& mainWindow, const ui::MainWindowControls& controls, Files files, Calls calls);
  ~SettingsWiring();

  // Start-up: the settings page, the restored states in the saved skin, the version texts, the
  // hotkey, the autostart box, the tips switch, the first-run hint and the icon size.
  void InitSettings(NoticeSink* notices);
  void SaveSettings();
  // The skin box chose another skin: saved first, then dressed and restored in it.
  void chooseSkin(int skin);
  // Lets go of the registered hotkey (a new instance registers the same key).
  void releaseHotkey();

  Settings& settings() const { return *settings_; }
  SettingsPage* page() const { return page_; }

 private:
  void createSettingsPage(NoticeSink* notices);

  ui::Window& mainWindow_;
  ui::MainWindowControls main_;
  Files files_;
  Calls calls_;
  std::unique_ptr<Settings> settings_;
  std::unique_ptr<GlobalHotkey> hotkey_;
  SettingsPage* page_ = nullptr;  // owned by the main window
};

}  // namespace pimrose
