#include "app/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/log_window_controller.h"
#include "app/main_window_handlers.h"
#include "app/menus.h"
#include "app/notices.h"
#include "app/opening_lines.h"
#include "app/settings.h"
#include "app/settings_page.h"
#include "app/window_commands.h"
#include "browsing/drop_receiver.h"
#include "pimrose_version.h"
#include "platform/exit_signals.h"
#include "platform/ini_file.h"
#include "platform/log_sink.h"
#include "shell/tray_icon.h"
#include "ui/caption_buttons.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit_box.h"
#include "ui/main_window_metrics.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/window_skin.h"

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
      mainWindow_(ui::loadWindow(ui::mainWindowDefinition())),
      main_(ui::resolveControls<ui::MainWindowControls>(*mainWindow_)),
      logFeed_(std::make_unique<LogFeed>()) {
  setLogReceiver(logFeed_->receiver());
  browser_ = std::make_unique<Browser>(main_);
  menus_ = std::make_unique<Menus>(*this);
  settings_ = std::make_unique<Settings>(
      *mainWindow_, main_, services_.settingsFile,
      Settings::Hooks{[this](int skin) { applySkinColour(skin); }, [this] { applyRestoredOptions(); }});
  connectWindowEvents();
}

Program::~Program() {
  setLogReceiver({});
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  overlays_ = makeOverlays(*mainWindow_, *textPopupWindow_, state_);
  new MainWindowHandlers(*mainWindow_, main_, *logWindow_,
                         [this](int skin) { settings_->ApplySkin(skin, false); });
  (new LogWindowController(LogWindowParts{*logWindow_, *log_.超级列表框_日志}, *logFeed_, systemClipboard()))
      ->watchCorner(*mainWindow_);
  mainWindow_->resize(ui::kMainWindowSize);
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
  main_.选择夹_组件->setCurrentPage(0);
  main_.选择夹_设置->setCurrentPage(0);
  InitSettings();
  browser_->InitLoading();
  if (main_.选择框_显示悬浮图标->isChecked()) floatWindow_->show();
  mainWindow_->show();
  applyUpTimeRule();
  showOpeningLine();
  qCInfo(lcApp) << "started";
  return Start::Running;
}

void Program::loadOtherWindows() {
  // Owned windows stay above the main window and go with it: their Qt parent is their only owner.
  textPopupWindow_ = ui::loadWindow(ui::textPopupWindowDefinition()).release();
  textPopupWindow_->setParent(mainWindow_.get(), textPopupWindow_->windowFlags() | Qt::Tool);
  textPopup_ = ui::resolveControls<ui::TextPopupWindowControls>(*textPopupWindow_);
  logWindow_ = ui::loadWindow(ui::logWindowDefinition()).release();
  logWindow_->setParent(mainWindow_.get(), logWindow_->windowFlags() | Qt::Window);
  log_ = ui::resolveControls<ui::LogWindowControls>(*logWindow_);
  floatWindow_ = ui::loadWindow(ui::floatWindowDefinition());
  float_ = ui::resolveControls<ui::FloatWindowControls>(*floatWindow_);
  connectFloatWindow();
  connect(textPopupWindow_, &ui::Window::aboutToBeDestroyed, this, [this] { services_.endProcess(0); });
  if (!state_.taskbarWidgetEnabled) return;
  taskbarWidget_ = ui::loadWindow(ui::taskbarWidgetDefinition());
  taskbar_ = ui::resolveControls<ui::TaskbarWidgetControls>(*taskbarWidget_);
}

void Program::dressMainWindow() {
  mainWindow_->setWindowTitle(kCaption);
  main_.窗口EX1->setTitle(kCaption);
  main_.窗口EX1->setIconImage(logoPng());
}

bool Program::IsAnotherInstance(const QString& name) {
  instance_ = services_.makeInstanceChannel();
  if (!instance_->isAnotherInstance(name)) {
    connect(instance_.get(), &InstanceChannel::showRequested, this, [this] { ShowMainWindow(*mainWindow_); });
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
  main_.标签_当前版本->setText(QStringLiteral("当前版本: ") + QLatin1String(kPimroseVersion));
  main_.标签_关于->setText(QStringLiteral("关于 Pimrose"));
  initHotkey();
  main_.选择框_开机启动->setChecked(settingsPage_->AutostartExists());
  state_.tipsOff = main_.选择框_关闭提示->isChecked();
  const IniFile settings(services_.settingsFile);
  if (!settings.exists()) main_.标签_使用提示->show();
  const int position =
      settings
          .read(QStringLiteral("初始化"), QStringLiteral("图片比例"), QString::number(ui::kIconSliderDefault))
          .toInt();
  main_.滑块条_图标大小->setPosition(position);
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

// Skin 0 is "黑色", skin 1 "白色" (the skin box's own order); anything else keeps the dark one.
void Program::applySkinColour(int skin) {
  state_.skinIndex = skin == 1 ? 1 : 0;
  for (ui::Window* window : {mainWindow_.get(), textPopupWindow_, logWindow_, floatWindow_.get()})
    ui::applySkin(*window, state_.skinIndex);
}

// A restore sets the boxes without any toggle event: whatever follows an option reads it again here.
void Program::applyRestoredOptions() {
  browser_->applyOptions();
  state_.tipsOff = main_.选择框_关闭提示->isChecked();
}

void Program::initHotkey() {
  settingsPage_->initHotkey();
}

void Program::createSettingsPage() {
  hotkey_ = services_.makeHotkey ? services_.makeHotkey() : makeGlobalHotkey();
  const QString program =
      services_.programFile.isEmpty() ? QCoreApplication::applicationFilePath() : services_.programFile;
  settingsPage_ = new SettingsPage(
      *mainWindow_, main_, *settings_,
      {services_.autostartFile, program, hotkey_.get(), overlays_.notices,
       [this] { ToggleMainWindow(*mainWindow_); }, [this](bool on) { state_.tipsOff = on; }});
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
  main_.标签_提示文本->setText(line);
}

void Program::connectWindowEvents() {
  mainWindow_->setCloseHandler([this] { return onCloseRequested(); });
  connect(main_.窗口EX1, &ui::WindowSkin::captionButtonPressed, this, &Program::onCaptionButton);
}

// The floating icon calls the main window up or away, and opens its own menu.
void Program::connectFloatWindow() {
  connect(floatWindow_.get(), &ui::Window::doubleClicked, this, [this] { ToggleMainWindow(*mainWindow_); });
  connect(floatWindow_.get(), &ui::Window::rightPressed, this,
          [this] { menus_->popUp(MenuKind::FloatIcon); });
}

bool Program::onCloseRequested() {
  if (exiting_) return true;
  if (main_.选择框_最小化到托盘->isChecked()) {
    mainWindow_->hide();
    return false;
  }
  ExitProgram();
  return true;
}

void Program::onCaptionButton(ui::CaptionButton button) {
  switch (button) {
    case ui::CaptionButton::Close:
      mainWindow_->close();
      break;
    case ui::CaptionButton::Maximise:
      mainWindow_->isMaximized() ? mainWindow_->showNormal() : mainWindow_->showMaximized();
      break;
    case ui::CaptionButton::Minimise:
      mainWindow_->showMinimized();
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
