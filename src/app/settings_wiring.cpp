#include "app/settings_wiring.h"

#include <QCoreApplication>

#include "app/settings.h"
#include "app/settings_page.h"
#include "pimrose_version.h"
#include "platform/global_hotkey.h"
#include "platform/ini_file.h"
#include "ui/check_box.h"
#include "ui/main_window_metrics.h"
#include "ui/slider.h"
#include "ui/text_label.h"
#include "ui/window.h"

namespace pimrose {

SettingsWiring::SettingsWiring(ui::Window& mainWindow, const ui::MainWindowControls& controls, Files files,
                               Calls calls)
    : mainWindow_(mainWindow),
      main_(controls),
      files_(std::move(files)),
      calls_(std::move(calls)),
      settings_(std::make_unique<Settings>(mainWindow_, main_, files_.settingsFile,
                                           Settings::Hooks{calls_.skinChosen, calls_.restored})) {}

SettingsWiring::~SettingsWiring() = default;

void SettingsWiring::InitSettings(NoticeSink* notices) {
  createSettingsPage(notices);
  // The skin is the one the restored `下拉框_皮肤` holds.
  settings_->ApplySkin(0, true);
  main_.标签_当前版本->setText(QStringLiteral("当前版本: ") + QLatin1String(kPimroseVersion));
  main_.标签_关于->setText(QStringLiteral("关于 Pimrose"));
  page_->initHotkey();
  main_.选择框_开机启动->setChecked(page_->AutostartExists());
  calls_.tipsOff(main_.选择框_关闭提示->isChecked());
  if (!IniFile(files_.settingsFile).exists()) main_.标签_使用提示->show();
  const int position = settings_
                           ->storedValue(QStringLiteral("初始化"), QStringLiteral("图片比例"),
                                         QString::number(ui::kIconSliderDefault))
                           .toInt();
  main_.滑块条_图标大小->setPosition(position);
}

void SettingsWiring::SaveSettings() {
  settings_->SaveSettings();
}

void SettingsWiring::chooseSkin(int skin) {
  settings_->ApplySkin(skin, false);
}

void SettingsWiring::releaseHotkey() {
  if (hotkey_ && page_ && page_->hotkeyId() != 0) hotkey_->unregisterHotkey(page_->hotkeyId());
}

void SettingsWiring::createSettingsPage(NoticeSink* notices) {
  hotkey_ = files_.makeHotkey ? files_.makeHotkey() : makeGlobalHotkey();
  const QString program =
      files_.programFile.isEmpty() ? QCoreApplication::applicationFilePath() : files_.programFile;
  page_ = new SettingsPage(
      mainWindow_, main_, *settings_,
      {files_.autostartFile, program, hotkey_.get(), notices, calls_.toggleMainWindow, calls_.tipsOff});
}

}  // namespace pimrose
