#pragma once

#include <QString>

#include <functional>

#include "ui/main_window_controls.h"

namespace pimrose {

class IniDocument;
struct SkinSet;

// The settings are the states of the main window's own controls: every edit box, check box and
// drop-down list is written to the ini file under its control name, in a section named after its
// class ("编辑框", "选择框", "组合框"; "单选框" for radio buttons, of which the window has none), keys in
// the window's table order, plus the slider position as "初始化" / "图片比例". Restoring reads them back
// and dresses the controls in the colours of the current skin.
//
// Usage:
//   Settings settings(mainWindow, controls, services.settingsFile, {.skinChosen = ..., .restored = ...});
//   settings.ApplySkin(0, true);      // at start-up: restore, then the saved skin
//   settings.ApplySkin(index, false)  // the user chose another skin: save first
//   if (!settings.SaveSettings()) ...    // exit, restart, the save button
class Settings {
 public:
  struct Hooks {
    std::function<void(int skin)> skinChosen;  // dresses every window in skin 0 or 1
    std::function<void()> restored;            // the options that act read their restored controls
  };

  Settings(ui::Window& mainWindow, const ui::MainWindowControls& controls, QString file, Hooks hooks);

  const QString& file() const { return file_; }
  // Writes every control state in one atomic save; false when the file could not be read or written.
  bool SaveSettings();
  // Reads every control state back; a missing or empty value leaves its control as it is.
  void RestoreSettings();
  // Not restoring: saves, then switches to `skin` and restores. Restoring: the skin is the one the
  // saved `下拉框_皮肤` holds.
  void ApplySkin(int skin, bool restoring);
  // 0 "黑色" or 1 "白色" once a skin was applied, -1 before.
  int skinIndex() const { return skinIndex_; }

 private:
  IniDocument loadForReading() const;
  const SkinSet& colours() const;
  void restoreEditBoxes(const IniDocument& ini) const;
  void restoreCheckBoxes(const IniDocument& ini) const;
  void restoreDropDowns(const IniDocument& ini) const;
  void colourTabs() const;
  void colourLabels() const;
  void finishSkin(int skin) const;

  ui::Window& window_;
  ui::MainWindowControls ui_;  // pointers into window_
  QString file_;
  Hooks hooks_;
  int skinIndex_ = -1;
};

}  // namespace pimrose
