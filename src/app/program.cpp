#include "app/program.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/first_paint_probe.h"
#include "app/log_window_controller.h"
#include "app/main_window_handlers.h"
#include "app/menus.h"
#include "app/opening_lines.h"
#include "app/settings.h"
#include "app/settings_page.h"
#include "browsing/drop_receiver.h"
#include "commands/chosen_picture.h"
#include "commands/errands.h"
#include "commands/restart_program.h"
#include "notices/notices.h"
#include "pimrose_version.h"
#include "platform/exit_signals.h"
#include "platform/ini_file.h"
#include "platform/log_sink.h"
#include "shell/float_window.h"
#include "shell/hide_into_tray.h"
#include "shell/screen_placement.h"
#include "shell/taskbar_widget.h"
#include "shell/tray_event.h"
#include "shell/tray_icon.h"
#include "shell/window_commands.h"
#include "system/load_sampler.h"
#include "system/os_facts.h"
#include "time_texts/uptime_tip.h"
#include "ui/caption_buttons.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/edit_box.h"
#include "ui/image_bytes.h"
#include "ui/main_window_metrics.h"
#include "ui/picture_box.h"
#include "ui/slider.h"
#include "ui/tabs.h"
#include "ui/text_label.h"
#include "ui/timer.h"
#include "ui/tip_box.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

const QString kInstanceName = QStringLiteral("Pimrose");
const QString kCaption = QStringLiteral("Pimrose");
// Started this soon after the user's session began, the program is an autostart and waits in the
// notification area.
constexpr std::uint64_t kAutostartUpTimeMs = 120000;

QByteArray resourceBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Decoded once for the run and shared by every window that shows it.
QImage logo() {
  return ui::decodeImageFile(ui::kLogo);
}
QByteArray trayIco() {
  return resourceBytes(QStringLiteral(":/pimrose/tray.ico"));
}

}  // namespace

Program::Program(ProgramServices services)
    : services_(std::move(services)),
      trayIcon_(std::make_unique<TrayIcon>(services_.trayHostPresent)),
      dropReceiver_(std::make_unique<DropReceiver>()),
      mainWindow_(ui::loadWindow(ui::mainWindowDefinition())),
      main_(ui::resolveControls<ui::MainWindowControls>(*mainWindow_)),
      logFeed_(std::make_unique<LogFeed>()),
      errands_(std::make_unique<Errands>()) {
  state_.taskbarWidgetEnabled = services_.taskbarWidgetEnabled;
  osFacts_ = std::make_unique<OsFacts>(systemOsFactSources(services_.systemFiles));
  setLogReceiver(logFeed_->receiver());
  browser_ = std::make_unique<Browser>(main_);
  menus_ = std::make_unique<Menus>(*this);
  settings_ = std::make_unique<Settings>(
      *mainWindow_, main_, services_.settingsFile,
      Settings::Hooks{[this](int skin) { applySkinColour(skin); }, [this] { applyRestoredOptions(); }});
  earlyLogLinesKept_ = connect(logFeed_.get(), &LogFeed::linesArrived, this, &Program::keepEarlyLogLines);
  connectWindowEvents();
}

Program::~Program() {
  setLogReceiver({});
  // Before the main window goes, so that its end reaches no routine of a program being destroyed.
  trayIcon_->remove();
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  overlays_ = makeOverlays(*mainWindow_, *textPopupWindow_, state_);
  mainHandlers_ = new MainWindowHandlers(
      *mainWindow_, main_, [this] { return logWindow_; },
      [this](int skin) { settings_->ApplySkin(skin, false); });
  connect(main_.窗口EX1, &ui::WindowSkin::clickedAt, this, [this](QPoint point) {
    if (LogWindowController::isCorner(point)) ensureLogWindow()->toggle();
  });
  mainWindow_->resize(ui::kMainWindowSize);
  dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  watchSessionEnd();
  // Before the up-time rule: the window is hidden into the tray only while an icon is really there.
  addTrayIcon();
  dropReceiver_->acceptDrops(
      mainWindow_.get(), [this](const QString& path) { browser_->queueDroppedPath(path); },
      [window = mainWindow_.get()](bool on) { window->setAcceptDrops(on); });
  main_.选择夹_组件->setCurrentPage(0);
  main_.选择夹_设置->setCurrentPage(0);
  InitSettings();
  browser_->InitLoading();
  if (main_.选择框_显示悬浮图标->isChecked()) ensureFloatWindow()->applyOption();
  // The log window and a hidden float window are no part of the first picture: they are built once
  // that has been painted.
  FirstPaintProbe::watch(*mainWindow_, [this] {
    ensureLogWindow();
    ensureFloatWindow();
  });
  mainWindow_->show();
  applyUpTimeRule();
  showOpeningLine();
  qCInfo(lcApp) << "started";
  return Start::Running;
}

void Program::addTrayIcon() {
  if (exiting_ || trayIcon_->isAdded()) return;
  trayIcon_->add(mainWindow_.get(), trayIco(), kCaption);
  trayIcon_->attach([this](int code) { onTrayEvent(code); });
}

void Program::loadOtherWindows() {
  // Owned windows stay above the main window and go with it: their Qt parent is their only owner.
  textPopupWindow_ = ui::loadWindow(ui::textPopupWindowDefinition()).release();
  textPopupWindow_->setParent(mainWindow_.get(), textPopupWindow_->windowFlags() | Qt::Tool);
  textPopup_ = ui::resolveControls<ui::TextPopupWindowControls>(*textPopupWindow_);
  connect(textPopupWindow_, &ui::Window::aboutToBeDestroyed, this, [this] { services_.endProcess(0); });
  wireShell();
  if (state_.taskbarWidgetEnabled) makeTaskbarWidget();
}

// The log window, as the corner click and the feed need it: in the skin worn now, centred on the
// main window, holding the lines logged so far.
LogWindowController* Program::ensureLogWindow() {
  if (logController_) return logController_;
  logWindow_ = ui::loadWindow(ui::logWindowDefinition()).release();
  logWindow_->setParent(mainWindow_.get(), logWindow_->windowFlags() | Qt::Window);
  log_ = ui::resolveControls<ui::LogWindowControls>(*logWindow_);
  log_.窗口EX1->setIcon(logo());
  ui::applySkin(*logWindow_, state_.skinIndex);
  if (mainHandlers_) mainHandlers_->centreLogWindow();
  logController_ = new LogWindowController(LogWindowParts{*logWindow_, *log_.超级列表框_日志}, *logFeed_,
                                           systemClipboard());
  disconnect(earlyLogLinesKept_);
  logController_->appendLines(earlyLogLines_);
  earlyLogLines_ = {};
  return logController_;
}

// Only the newest lines the log window would keep are worth keeping.
void Program::keepEarlyLogLines(const std::vector<LogLine>& lines) {
  earlyLogLines_.insert(earlyLogLines_.end(), lines.begin(), lines.end());
  const std::size_t keep = LogWindowController::kMaxRows;
  if (earlyLogLines_.size() > keep)
    earlyLogLines_.erase(earlyLogLines_.begin(), earlyLogLines_.end() - std::ptrdiff_t(keep));
}

ui::Window& Program::logWindow() {
  ensureLogWindow();
  return *logWindow_;
}

const ui::LogWindowControls& Program::logControls() {
  ensureLogWindow();
  return log_;
}

// The float window, in the skin worn now. Once built it follows its option box by itself; the box
// toggled before that builds it and shows or hides it here (a connection made while the box
// announces the toggle would hear only the next one).
FloatWindow* Program::ensureFloatWindow() {
  if (floatIcon_) return floatIcon_;
  floatWindow_ = ui::loadWindow(ui::floatWindowDefinition());
  float_ = ui::resolveControls<ui::FloatWindowControls>(*floatWindow_);
  floatIcon_ = new FloatWindow(
      *floatWindow_, float_, *main_.选择框_显示悬浮图标,
      {[this] { ToggleMainWindow(*mainWindow_); }, [this] { menus_->popUp(MenuKind::FloatIcon); }});
  ui::applySkin(*floatWindow_, state_.skinIndex);
  return floatIcon_;
}

ui::Window& Program::floatWindow() {
  ensureFloatWindow();
  return *floatWindow_;
}

const ui::FloatWindowControls& Program::floatControls() {
  ensureFloatWindow();
  return float_;
}

void Program::wireShell() {
  connect(main_.选择框_显示悬浮图标, &ui::CheckBox::aboutToToggle, this, [this](bool on) {
    if (floatIcon_) return;
    ensureFloatWindow();
    floatWindow_->setVisible(on);
  });
  auto* keepClear = main_.选择框_最大化不遮任务栏;
  maximise_ = new MaximiseToggle(*mainWindow_, [keepClear] { return keepClear->isChecked(); });
}

// The taskbar widget and its load figures: one sampler for the run, sampling only while the widget
// exists (its timer lives in the widget).
void Program::makeTaskbarWidget() {
  taskbarWidget_ = ui::loadWindow(ui::taskbarWidgetDefinition());
  taskbar_ = ui::resolveControls<ui::TaskbarWidgetControls>(*taskbarWidget_);
  (new TaskbarWidget(*taskbarWidget_, taskbar_, [this] {
    menus_->popUp(MenuKind::FloatIcon);
  }))->embedWidgetInTaskbar();
  if (!loadSampler_) loadSampler_ = std::make_unique<LoadSampler>(*osFacts_, services_.systemFiles);
  loadSampler_->widgetCreated();
  connect(taskbar_.任务栏_刷新信息, &ui::Timer::elapsed, this, [this] {
    const StatusLines lines = loadSampler_->RefreshStatusLines();
    taskbar_.标签_信息上->setText(lines.upper);
    taskbar_.标签_信息下->setText(lines.lower);
  });
  connect(taskbar_.图片框_容器, &ui::Control::pointerInside, this, [this](bool inside) {
    if (inside)
      ui::popUpTip(UptimeTipText(services_.bootClock()), QCursor::pos());
    else
      ui::closeTip();
  });
}

void Program::dressMainWindow() {
  mainWindow_->setWindowTitle(kCaption);
  main_.窗口EX1->setTitle(kCaption);
  main_.窗口EX1->setIcon(logo());
}

bool Program::IsAnotherInstance(const QString& name) {
  instance_ = services_.makeInstanceChannel();
  awaitRestartedPredecessor(*instance_, name);
  if (!instance_->isAnotherInstance(name)) {
    connect(instance_.get(), &InstanceChannel::showRequested, this,
            [this] { ShowAndActivateMainWindow(*mainWindow_); });
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
  if (!IniFile(services_.settingsFile).exists()) main_.标签_使用提示->show();
  const int position = settings_
                           ->storedValue(QStringLiteral("初始化"), QStringLiteral("图片比例"),
                                         QString::number(ui::kIconSliderDefault))
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
    if (window) ui::applySkin(*window, state_.skinIndex);
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
  if (hideAtEarlyBoot(services_.sessionClock() <= kAutostartUpTimeMs, canHideIntoTray(*trayIcon_))) {
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
  connect(browser_.get(), &Browser::pictureMenuRequested, this, &Program::openPictureMenu);
}

// The item is remembered 1-based; the command decides the list when it runs (chosenPicture).
void Program::openPictureMenu(int index) {
  state_.fileMenuItem = index + 1;
  menus_->popUp(MenuKind::Picture);
}

QString Program::chosenPicture() const {
  return pimrose::chosenPicture(browser_->lists().pictureList(), browser_->search().searchList(),
                                browser_->searchListShown(), state_.fileMenuItem);
}

void Program::showMainWindow() {
  ShowMainWindow(*mainWindow_);
}

void Program::hideFloatingIcon() {
  floatIcon().hideFloat();
}

FileManager* Program::fileManager() {
  if (!fileManager_ && services_.makeFileManager) fileManager_ = services_.makeFileManager();
  return fileManager_.get();
}

bool Program::onCloseRequested() {
  if (exiting_) return true;
  const SendAway where =
      closeRequestOutcome(main_.选择框_最小化到托盘->isChecked(), canHideIntoTray(*trayIcon_));
  sendAway(where);
  return where == SendAway::Exit;
}

void Program::sendAway(SendAway where) {
  switch (where) {
    case SendAway::HideIntoTray:
      qCDebug(lcApp) << "sent away: into the tray";
      mainWindow_->hide();
      break;
    case SendAway::Minimise:
      qCDebug(lcApp) << "sent away: minimise";
      mainWindow_->showMinimized();
      break;
    case SendAway::Exit:
      ExitProgram();
      break;
  }
}

void Program::onCaptionButton(ui::CaptionButton button) {
  switch (button) {
    case ui::CaptionButton::Close:
      sendAway(closeButtonOutcome(main_.选择框_最小化到托盘->isChecked(), canHideIntoTray(*trayIcon_)));
      break;
    case ui::CaptionButton::Maximise:
      maximise_->toggleMaximised();
      break;
    case ui::CaptionButton::Minimise:
      sendAway(minimiseButtonOutcome(canHideIntoTray(*trayIcon_)));
      break;
  }
}

void Program::Restart() {
  if (exiting_ || !services_.makeProcessLauncher) return;
  const std::unique_ptr<ProcessLauncher> launcher = services_.makeProcessLauncher();
  RestartSteps steps;
  steps.saveSettings = [this] { SaveSettings(); };
  steps.removeTrayIcon = [this] { trayIcon_->remove(); };
  // Our grab of the key would refuse the new instance's registration of the same key.
  steps.releaseHotkey = [this] {
    if (hotkey_ && settingsPage_ && settingsPage_->hotkeyId() != 0)
      hotkey_->unregisterHotkey(settingsPage_->hotkeyId());
  };
  steps.releaseInstanceChannel = [this] {
    if (instance_) instance_->release();
  };
  steps.endProcess = [this](int code) {
    exiting_ = true;
    qCInfo(lcApp) << "restart: the new instance is on its way";
    services_.endProcess(code);
  };
  RestartProgram(steps, *launcher);
}

void Program::onTrayEvent(int code) {
  const TrayActions actions{
      [this] { ShowMainWindow(*mainWindow_); },
      [this] { menus_->popUp(MenuKind::Tray); },
      [this] { trayIcon_->add(mainWindow_.get(), trayIco(), kCaption); },
      // Nothing could call a hidden window back now: it waits on the task bar instead.
      [this] {
        if (!mainWindow_->isVisible()) mainWindow_->showMinimized();
      },
  };
  pimrose::onTrayEvent(code, actions);
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
