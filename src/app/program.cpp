#include "app/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QWindow>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/logged_notices.h"
#include "app/main_window_handlers.h"
#include "app/opening_lines.h"
#include "app/settings.h"
#include "app/settings_page.h"
#include "pictures/drop_receiver.h"
#include "platform/exit_signals.h"
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
  settings_ = std::make_unique<Settings>(
      *mainWindow_, services_.settingsFile,
      Settings::Hooks{[this](int skin) { applySkinColour(skin); }, [this] { browser_->applyOptions(); }});
  connectWindowEvents();
}

Program::~Program() {
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  new MainWindowHandlers(*mainWindow_, *logWindow_, [this](int skin) { settings_->ApplySkin(skin, false); });
  mainWindow_->resize(1200, 700);
  dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  watchSessionEnd();
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
  createSettingsPage();
  ApplySkin();
  mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_当前版本"))
      ->setText(QStringLiteral("当前版本: 0.1.0"));
  mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_关于"))->setText(QStringLiteral("关于 Pimrose"));
  initHotkey();
  mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_开机启动"))
      ->setChecked(settingsPage_->AutostartExists());
  state_.tipsOff = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_关闭提示"))->isChecked();
  const IniFile settings(services_.settingsFile);
  if (!settings.exists()) mainWindow_->control<ui::TextLabel>(QStringLiteral("标签_使用提示"))->show();
  const int position =
      settings.read(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24")).toInt();
  mainWindow_->control<ui::Slider>(QStringLiteral("滑块条_图标大小"))->setPosition(position);
}

void Program::RestoreSettings() {
  settings_->RestoreSettings();
}

void Program::SaveSettings() {
  settings_->SaveSettings();
}

// At start-up the skin is the one the restored `下拉框_皮肤` holds.
void Program::ApplySkin() {
  settings_->ApplySkin(0, true);
}

// Skin 1 is "黑色", skin 2 "白色".
void Program::applySkinColour(int skin) {
  state_.skinIndex = skin;
  for (ui::Window* window : {mainWindow_.get(), textPopupWindow_.get(), logWindow_.get(), floatWindow_.get()})
    ui::applySkin(*window, skin - 1);
}

void Program::initHotkey() {
  settingsPage_->initHotkey();
}

void Program::createSettingsPage() {
  hotkey_ = services_.makeHotkey ? services_.makeHotkey() : makeGlobalHotkey();
  notices_ = services_.makeNotices ? services_.makeNotices(*mainWindow_) : std::make_unique<LoggedNotices>();
  const QString program =
      services_.programFile.isEmpty() ? QCoreApplication::applicationFilePath() : services_.programFile;
  settingsPage_ =
      new SettingsPage(*mainWindow_, *settings_,
                       {services_.autostartFile, program, hotkey_.get(), notices_.get(),
                        [this] { toggleMainWindow(); }, [this](bool on) { state_.tipsOff = on; }});
}

// Hidden or minimised: shown in front; shown: hidden.
void Program::toggleMainWindow() {
  if (mainWindow_->isVisible() && !mainWindow_->isMinimized())
    mainWindow_->hide();
  else
    showMainWindow();
}

// A logout, a SIGTERM, SIGINT or SIGHUP end the program through its own exit steps, so the settings
// are saved as on any other exit.
void Program::watchSessionEnd() {
  exitSignals_ = std::make_unique<ExitSignals>();
  connect(exitSignals_.get(), &ExitSignals::received, this, [this] { ExitProgram(); });
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    connect(app, &QGuiApplication::commitDataRequest, this, [this] { SaveSettings(); });
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { ExitProgram(); });
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
