#include "app/settings_page.h"

#include "app/app_log.h"
#include "app/settings.h"
#include "commands/notice_sink.h"
#include "platform/autostart_entry.h"
#include "platform/global_hotkey.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/window.h"

namespace pimrose {
SettingsPage::SettingsPage(ui::Window& mainWindow, const ui::MainWindowControls& controls, Settings& settings,
                           Services services)
    : QObject(&mainWindow), ui_(controls), settings_(settings), services_(std::move(services)) {
  connectControls();
}

void SettingsPage::connectControls() {
  connect(services_.hotkey, &GlobalHotkey::pressed, this, &SettingsPage::onHotkeyPressed);
  connect(services_.hotkey, &GlobalHotkey::settled, this, &SettingsPage::onHotkeySettled);
  connect(ui_.选择框_呼出窗口热键, &ui::CheckBox::toggled, this, &SettingsPage::UpdateHotkey);
  connect(ui_.下拉框_热键, &ui::ComboBox::currentIndexChanged, this, &SettingsPage::UpdateHotkey);
  connect(ui_.选择框_开机启动, &ui::CheckBox::toggled, this, &SettingsPage::SetAutostart);
  connect(ui_.选择框_关闭提示, &ui::CheckBox::toggled, this, [this](bool on) {
    if (services_.tipsOffChanged) services_.tipsOffChanged(on);
  });
  connect(ui_.按钮_保存配置, &ui::Button::clicked, this, &SettingsPage::saveByUser);
}

void SettingsPage::initHotkey() {
  if (ui_.选择框_呼出窗口热键->isChecked()) hotkeyId_ = registerChosenKey();
  showHotkeyStatus();
}

void SettingsPage::UpdateHotkey() {
  services_.hotkey->unregisterHotkey(hotkeyId_);
  hotkeyId_ = ui_.选择框_呼出窗口热键->isChecked() ? registerChosenKey() : 0;
  showHotkeyStatus();
}

// F1 plus the index of the chosen item, no modifier.
int SettingsPage::registerChosenKey() {
  const int index = ui_.下拉框_热键->currentIndex();
  return services_.hotkey->registerHotkey(0, kVirtualKeyF1 + index);
}

// While the desktop has not answered yet the box claims neither success nor failure.
void SettingsPage::showHotkeyStatus() {
  auto* box = ui_.选择框_呼出窗口热键;
  qCDebug(lcApp).noquote() << "hotkey"
                           << (box->isChecked()
                                   ? QStringLiteral("F%1").arg(ui_.下拉框_热键->currentIndex() + 1)
                                   : QStringLiteral("off"))
                           << "id" << hotkeyId_;
  QString status;
  if (!box->isChecked())
    status = QStringLiteral("未开启热键");
  else if (hotkeyId_ == 0)
    status = QStringLiteral("热键注册失败");
  else if (!services_.hotkey->isPending(hotkeyId_))
    status = QStringLiteral("热键注册成功");
  box->setStatusText(status);
  qCDebug(lcApp) << "hotkey status:" << (status.isEmpty() ? QStringLiteral("(asked)") : status);
}

// A late answer, or a key the desktop took back: a key not held leaves no identifier behind.
void SettingsPage::onHotkeySettled(int id, bool held) {
  if (id == 0 || id != hotkeyId_) return;
  if (!held) hotkeyId_ = 0;
  showHotkeyStatus();
}

void SettingsPage::onHotkeyPressed(int id) {
  qCDebug(lcApp) << "hotkey pressed, id" << id;
  if (id != 0 && id == hotkeyId_ && services_.toggleMainWindow) services_.toggleMainWindow();
}

// The box shows what the entry really is after the attempt, whatever was asked.
void SettingsPage::SetAutostart(bool on) {
  if (on)
    writeAutostartEntry(services_.autostartFile, services_.program);
  else
    removeAutostartEntry(services_.autostartFile);
  const bool exists = AutostartExists();
  ui_.选择框_开机启动->setChecked(exists);
  if (on)
    services_.notices->ShowNotice(
        exists ? QStringLiteral("开机启动设置成功") : QStringLiteral("开机启动设置失败"),
        exists ? noticeKindDone() : noticeKindFailed());
  else
    services_.notices->ShowNotice(
        exists ? QStringLiteral("开机启动取消失败") : QStringLiteral("开机启动取消完成"),
        exists ? noticeKindFailed() : noticeKindDone());
}

bool SettingsPage::AutostartExists() const {
  return autostartEntryExists(services_.autostartFile, services_.program);
}

// The file is written in the background; the notice tells how it went once it has.
void SettingsPage::saveByUser() {
  settings_.saveInBackground([notices = services_.notices](bool written) {
    if (written)
      notices->ShowNotice(QStringLiteral("保存配置完成"), noticeKindDone());
    else
      notices->ShowNotice(QStringLiteral("保存配置失败"), noticeKindFailed());
  });
}

}  // namespace pimrose
