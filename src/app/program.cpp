#include "app/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QWindow>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/main_window_handlers.h"
#include "app/opening_lines.h"
#include "pictures/drop_receiver.h"
#include "platform/autostart_entry.h"
#include "platform/ini_file.h"
#include "shell/tray_icon.h"
#include "ui/caption_buttons.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

const QString kInstanceName = QStringLiteral("Pimrose");
const QString kCaption = QStringLiteral("Pimrose");
// Started this soon after the system, the program is an autostart and waits in the notification area.
constexpr std::uint64_t kAutostartUpTimeMs = 120000;

QByteArray resourceBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray logoPng() {
  return resourceBytes(QStringLiteral(":/pimrose/logo.png"));
}
QByteArray trayIco() {
  return resourceBytes(QStringLiteral(":/pimrose/tray.ico"));
}

}  // namespace

Program::Program(ProgramServices services)
    : services_(std::move(services)),
      trayIcon_(std::make_unique<TrayIcon>()),
      dropReceiver_(std::make_unique<DropReceiver>()),
      mainWindow_(ui::loadWindow(ui::mainWindowDefinition())) {
  browser_ = std::make_unique<Browser>(*mainWindow_);
  connectWindowEvents();
}

Program::~Program() {
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  overlays_ = makeOverlays(*mainWindow_, *textPopupWindow_, state_);
  new MainWindowHandlers(*mainWindow_, *logWindow_, [this](int skin) { applySkinColour(skin); });
  mainWindow_->resize(1200, 700);
  dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  trayIcon_->add(mainWindow_.get(), trayIco(), kCaption);
  trayIcon_->attach([](int) {});
  dropReceiver_->acceptDrops(
      mainWindow_.get(), [this](const QString& path) { browser_->queueDroppedPath(path); },
      [window = mainWindow_.get()](bool on) { window->setAcceptDrops(on); });
  mainWindow_->control<ui::Tabs>(QStringLiteral("选择夹_组件"))->setCurrentPage(0);
  mainWindow_->control<ui::Tabs>(QStringLiteral("选择夹_设置"))->setCurrentPage(0);
  InitSettings();
  browser_->InitLoading();
  if (mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_显示悬浮图标"))->isChecked())
    floatWindow_->show();
  mainWindow_->show();
  applyUpTimeRule();
  showOpeningLine();
  qCInfo(lcApp) << "started";
  return Start::Running;
}

void Program::loadOtherWindows() {
  textPopupWindow_ = ui::loadWindow(ui::textPopupWindowDefinition());
  logWindow_ = ui::loadWindow(ui::logWindowDefinition());
  floatWindow_ = ui::loadWindow(ui::floatWindowDefinition());
  // Owned windows stay above the main window and go with it.
  textPopupWindow_->setParent(mainWindow_.get(), textPopupWindow_->windowFlags() | Qt::Tool);
  logWindow_->setParent(mainWindow_.get(), logWindow_->windowFlags() | Qt::Window);
  connect(textPopupWindow_.get(), &ui::Window::aboutToBeDestroyed, this, [this] { services_.endProcess(0); });
  if (state_.taskbarWidgetEnabled) taskbarWidget_ = ui::loadWindow(ui::taskbarWidgetDefinition());
}

void Program::dressMainWindow() {
  mainWindow_->setWindowTitle(kCaption);
  if (ui::WindowSkin* skin = mainWindow_->skin()) {
    skin->setTitle(kCaption);
    skin->setIconImage(logoPng());
  }
}

bool Program::IsAnotherInstance(const QString& name) {
  instance_ = services_.makeInstanceChannel();
  if (!instance_->isAnotherInstance(name)) {
    connect(instance_.get(), &InstanceChannel::showRequested, this, &Program::showMainWindow);
    return false;
  }
  return true;
}

// The running instance has been asked to show itself; this one only takes its caption away so that
// nothing can mistake it for the first, and ends without having added anything.
void Program::showFirstInstance() {
  mainWindow_->setWindowTitle(QString());
  instance_.reset();
}

void Program::InitSettings() {
  ApplySkin();
  mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_当前版本"))
      ->setText(QStringLiteral("当前版本: 0.1.0"));
  mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_关于"))->setText(QStringLiteral("关于 Pimrose"));
  initHotkey();
  const QString program = QCoreApplication::applicationFilePath();
  mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_开机启动"))
      ->setChecked(autostartEntryExists(services_.autostartFile, program));
  state_.tipsOff = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_关闭提示"))->isChecked();
  const IniFile settings(services_.settingsFile);
  if (!settings.exists()) mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_使用提示"))->show();
  const int position =
      settings.read(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24")).toInt();
  mainWindow_->control<ui::Slider>(QStringLiteral("滑块条_图标大小"))->setPosition(position);
}

// The saved control states arrive with the settings feature; until then every control keeps the
// state its table gives it.
void Program::RestoreSettings() {}
void Program::SaveSettings() {}

void Program::ApplySkin() {
  RestoreSettings();
  const int current = mainWindow_->control<ui::ComboBox>(QStringLiteral("下拉框_皮肤"))->currentIndex();
  applySkinColour(current + 1);
}

// Skin 1 is "黑色", skin 2 "白色"; anything else keeps the dark one.
void Program::applySkinColour(int skin) {
  state_.skinIndex = skin == 2 ? 2 : 1;
  for (ui::Window* window : {mainWindow_.get(), textPopupWindow_.get(), logWindow_.get(), floatWindow_.get()})
    ui::applySkin(*window, state_.skinIndex - 1);
}

// The hotkey is registered by the settings feature; without a registration the box tells so.
void Program::initHotkey() {
  auto* box = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_呼出窗口热键"));
  box->setStatusText(box->isChecked() ? QStringLiteral("热键注册失败") : QStringLiteral("未开启热键"));
}

void Program::applyUpTimeRule() {
  if (services_.bootClock() <= kAutostartUpTimeMs) {
    mainWindow_->hide();
    return;
  }
  if (mainWindow_->isMinimized()) mainWindow_->showNormal();
  mainWindow_->raise();
  mainWindow_->show();
}

void Program::showOpeningLine() {
  const QString line = pickOpeningLine(services_.drawLine);
  mainWindow_->control<ui::EditBox>(QStringLiteral("标签_提示文本"))->setText(line);
}

void Program::showMainWindow() {
  mainWindow_->showNormal();
  mainWindow_->raise();
  mainWindow_->activateWindow();
  if (QWindow* handle = mainWindow_->windowHandle()) handle->requestActivate();
}

void Program::connectWindowEvents() {
  connect(mainWindow_.get(), &ui::Window::closeRequested, this, &Program::onCloseRequested);
  if (ui::WindowSkin* skin = mainWindow_->skin())
    connect(skin, &ui::WindowSkin::captionButtonPressed, this, &Program::onCaptionButton);
}

void Program::onCloseRequested(bool* allow) {
  if (exiting_) return;
  if (mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_最小化到托盘"))->isChecked()) {
    *allow = false;
    mainWindow_->hide();
    return;
  }
  ExitProgram();
}

void Program::onCaptionButton(int index) {
  switch (index) {
    case ui::kCaptionClose:
      mainWindow_->close();
      break;
    case ui::kCaptionMaximise:
      mainWindow_->isMaximized() ? mainWindow_->showNormal() : mainWindow_->showMaximized();
      break;
    case ui::kCaptionMinimise:
      mainWindow_->showMinimized();
      break;
    default:
      break;
  }
}

void Program::ExitProgram() {
  if (exiting_) return;
  exiting_ = true;
  SaveSettings();
  if (instance_) instance_->release();
  trayIcon_->remove();
  qCInfo(lcApp) << "exit";
  services_.endProcess(0);
}

}  // namespace pimrose
