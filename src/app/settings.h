#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "ui/main_window_controls.h"

namespace pimrose {

class IniStore;
struct IniEntry;
struct SkinSet;

// The settings are the states of the main window's own controls: every edit box, check box and
// drop-down list is written to the ini file under its control name, in a section named after its
// class ("编辑框", "选择框", "组合框"; "单选框" for radio buttons, of which the window has none), keys in
// the window's table order, plus the slider position as "初始化" / "图片比例". Restoring reads them back
// and dresses the controls in the colours of the current skin.
//
// The file is read and written on a thread of its own (IniStore): reading starts when the settings are
// made, and a restore waits for it only if it is not done yet; a save in the background leaves the
// window free while a large file or a slow disk is written.
//
// Usage:
//   Settings settings(mainWindow, controls, services.settingsFile, {.skinChosen = ..., .restored = ...});
//   settings.ApplySkin(0, true);      // at start-up: restore, then the saved skin
//   settings.ApplySkin(index, false)  // the user chose another skin: save first
//   settings.saveInBackground([](bool written) { ... });   // the save button
//   if (!settings.SaveSettings()) ...                       // exit, restart: written when it returns
class Settings {
 public:
  struct Hooks {
    std::function<void(int skin)> skinChosen;  // dresses every window in skin 0 or 1
    std::function<void()> restored;            // the options that act read their restored controls
  };

  Settings(ui::Window& mainWindow, const ui::MainWindowControls& controls, QString file, Hooks hooks);
  // Waits for the saves asked for.
  ~Settings();

  const QString& file() const { return file_; }
  // Writes every control state in one atomic save and waits for it; false when the file could not be
  // read or written (then it is left as it was).
  bool SaveSettings();
  // The same without waiting; `saved` runs on the UI thread with whether the file was written.
  void saveInBackground(std::function<void(bool written)> saved = {});
  // Waits for the saves asked for so far; whether the last one wrote the file.
  bool waitForSaves();
  // Reads every control state back; a missing or empty value leaves its control as it is.
  void RestoreSettings();
  // A value of the file as read at start or last saved, for the keys the settings keep (the controls'
  // and the icon size); `fallback` when the file holds none.
  QString storedValue(const QString& section, const QString& key, const QString& fallback) const;
  // Not restoring: saves (in the background), then switches to `skin` and restores. Restoring: the skin is
  // the one the saved `下拉框_皮肤` holds.
  void ApplySkin(int skin, bool restoring);
  // 0 "黑色" or 1 "白色" once a skin was applied, -1 before.
  int skinIndex() const { return skinIndex_; }

 private:
  std::vector<IniEntry> controlStates() const;
  const SkinSet& colours() const;
  void restoreEditBoxes() const;
  void restoreCheckBoxes() const;
  void restoreDropDowns() const;
  void colourTabs() const;
  void colourLabels() const;
  void finishSkin(int skin) const;

  ui::Window& window_;
  ui::MainWindowControls ui_;  // pointers into window_
  QString file_;
  Hooks hooks_;
  std::unique_ptr<IniStore> store_;
  int skinIndex_ = -1;
};

}  // namespace pimrose
