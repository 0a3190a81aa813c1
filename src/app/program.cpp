#include "app/program.h"

#include <QCoreApplication>
#include <QFile>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/first_paint_probe.h"
#include "app/log_window_controller.h"
#include "app/main_window_handlers.h"
#include "app/menus.h"
#include "app/opening_lines.h"
#include "app/window_commands.h"
#include "browsing/drop_receiver.h"
#include "pimrose_version.h"
#include "platform/autostart_entry.h"
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
  connectWindowEvents();
}

Program::~Program() {
  setLogReceiver({});
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  new MainWindowHandlers(*mainWindow_, main_, *logWindow_, [this](int skin) { applySkinColour(skin); });
  (new LogWindowController(LogWindowParts{*logWindow_, *log_.超级列表框_日志}, *logFeed_, systemClipboard()))
      ->watchCorner(*mainWindow_);
  mainWindow_->resize(ui::kMainWindowSize);
  dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  dropReceiver_->acceptDrops(
      mainWindow_.get(), [this](const QString& path) { browser_->queueDroppedPath(path); },
      [window = mainWindow_.get()](bool on) { window->setAcceptDrops(on); });
  main_.选择夹_组件->setCurrentPage(0);
  main_.选择夹_设置->setCurrentPage(0);
  InitSettings();
  browser_->InitLoading();
  if (main_.选择框_显示悬浮图标->isChecked()) floatWindow_->show();
  // The tray icon (an icon file to decode, the image plugins to load) waits for the first paint;
  // a window that starts hidden does not wait.
  FirstPaintProbe::watch(*mainWindow_, [this] { addTrayIcon(); });
  mainWindow_->show();
  applyUpTimeRule();
  if (!mainWindow_->isVisible()) addTrayIcon();
  showOpeningLine();
  qCInfo(lcApp) << "started";
  return Start::Running;
}

void Program::addTrayIcon() {
  if (exiting_ || trayIcon_->isAdded()) return;
  trayIcon_->add(mainWindow_.get(), trayIco(), kCaption);
  trayIcon_->attach([](int) {});
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
  ApplySkin();
  main_.标签_当前版本->setText(QStringLiteral("当前版本: ") + QLatin1String(kPimroseVersion));
  main_.标签_关于->setText(QStringLiteral("关于 Pimrose"));
  initHotkey();
  const QString program = QCoreApplication::applicationFilePath();
  main_.选择框_开机启动->setChecked(autostartEntryExists(services_.autostartFile, program));
  state_.tipsOff = main_.选择框_关闭提示->isChecked();
  const IniFile settings(services_.settingsFile);
  if (!settings.exists()) main_.标签_使用提示->show();
  const int position =
      settings
          .read(QStringLiteral("初始化"), QStringLiteral("图片比例"), QString::number(ui::kIconSliderDefault))
          .toInt();
  main_.滑块条_图标大小->setPosition(position);
}

// The saved control states arrive with the settings feature; until then every control keeps the
// state its table gives it.
void Program::RestoreSettings() {}
void Program::SaveSettings() {}

void Program::ApplySkin() {
  RestoreSettings();
  applySkinColour(main_.下拉框_皮肤->currentIndex());
}

// Skin 0 is "黑色", skin 1 "白色" (the skin box's own order); anything else keeps the dark one.
void Program::applySkinColour(int skin) {
  state_.skinIndex = skin == 1 ? 1 : 0;
  for (ui::Window* window : {mainWindow_.get(), textPopupWindow_, logWindow_, floatWindow_.get()})
    ui::applySkin(*window, state_.skinIndex);
}

// The hotkey is registered by the settings feature; without a registration the box tells so.
void Program::initHotkey() {
  auto* box = main_.选择框_呼出窗口热键;
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
