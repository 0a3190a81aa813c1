#include "app/program.h"

#include "app/app_log.h"
#include "app/browser.h"
#include "app/menus.h"
#include "app/opening_lines.h"
#include "app/program_windows.h"
#include "app/settings_wiring.h"
#include "app/shell_wiring.h"
#include "browsing/drop_receiver.h"
#include "commands/chosen_picture.h"
#include "commands/errands.h"
#include "commands/restart_program.h"
#include "platform/log_sink.h"
#include "shell/float_window.h"
#include "shell/tray_icon.h"
#include "shell/window_commands.h"
#include "system/log_feed.h"
#include "system/os_facts.h"
#include "ui/check_box.h"
#include "ui/edit_box.h"
#include "ui/tabs.h"

namespace pimrose {
namespace {

const QString kInstanceName = QStringLiteral("Pimrose");

}  // namespace

Program::Program(ProgramServices services)
    : services_(std::move(services)),
      trayIcon_(std::make_unique<TrayIcon>(services_.trayHostPresent)),
      dropReceiver_(std::make_unique<DropReceiver>()),
      logFeed_(std::make_unique<LogFeed>()),
      errands_(std::make_unique<Errands>()) {
  state_.taskbarWidgetEnabled = services_.taskbarWidgetEnabled;
  osFacts_ = std::make_unique<OsFacts>(systemOsFactSources(services_.systemFiles));
  windows_ = std::make_unique<ProgramWindows>(
      *logFeed_, state_,
      ProgramWindows::Calls{[this] { menus_->popUp(MenuKind::FloatIcon); },
                            [this](int skin) { settings_->chooseSkin(skin); },
                            [this] { services_.endProcess(0); }},
      ProgramWindows::TaskbarFacts{*osFacts_, services_.systemFiles, services_.bootClock});
  setLogReceiver(logFeed_->receiver());
  const ui::MainWindowControls& main = windows_->mainControls();
  shell_ = std::make_unique<ShellWiring>(
      windows_->mainWindow(), main, *trayIcon_, services_.sessionClock,
      ShellWiring::Calls{[this] { return exiting_; }, [this] { ExitProgram(); },
                         [this] { settings_->SaveSettings(); }, [this] { menus_->popUp(MenuKind::Tray); }});
  browser_ = std::make_unique<Browser>(main);
  menus_ = std::make_unique<Menus>(*this, state_);
  settings_ = std::make_unique<SettingsWiring>(
      windows_->mainWindow(), main,
      SettingsWiring::Files{services_.settingsFile, services_.autostartFile, services_.programFile,
                            services_.makeHotkey},
      SettingsWiring::Calls{[this](int skin) { applySkinColour(skin); }, [this] { applyRestoredOptions(); },
                            [this] { ToggleMainWindow(windows_->mainWindow()); },
                            [this](bool on) { state_.tipsOff = on; }});
  connect(browser_.get(), &Browser::pictureMenuRequested, this, &Program::openPictureMenu);
}

Program::~Program() {
  setLogReceiver({});
  // Before the main window goes, so that its end reaches no routine of a program being destroyed.
  trayIcon_->remove();
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  // The text popup (and the taskbar widget when switched on), then what the main window needs of
  // them: overlays, gestures, size, caption and icon.
  windows_->loadOtherWindows();
  shell_->wireWindowButtons();
  overlays_ = makeOverlays(windows_->mainWindow(), windows_->textPopupWindow(), state_);
  windows_->wireMainWindow();
  windows_->dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  shell_->watchSessionEnd();
  // Before the up-time rule: the window is hidden into the tray only while an icon is really there.
  shell_->addTrayIcon();
  ui::Window* mainWindow = &windows_->mainWindow();
  dropReceiver_->acceptDrops(
      mainWindow, [this](const QString& path) { browser_->queueDroppedPath(path); },
      [mainWindow](bool on) { mainWindow->setAcceptDrops(on); });
  windows_->mainControls().选择夹_组件->setCurrentPage(0);
  windows_->mainControls().选择夹_设置->setCurrentPage(0);
  settings_->InitSettings(overlays_.notices);
  browser_->InitLoading();
  windows_->showCompanions();
  mainWindow->show();
  shell_->applyUpTimeRule();
  showOpeningLine();
  qCInfo(lcApp) << "started";
  return Start::Running;
}

void Program::ExitProgram() {
  if (exiting_) return;
  exiting_ = true;
  settings_->SaveSettings();
  if (instance_) instance_->release();
  shell_->removeTrayIcon();
  qCInfo(lcApp) << "exit";
  services_.endProcess(0);
}

void Program::Restart() {
  if (exiting_ || !services_.makeProcessLauncher) return;
  const std::unique_ptr<ProcessLauncher> launcher = services_.makeProcessLauncher();
  RestartSteps steps;
  steps.saveSettings = [this] { settings_->SaveSettings(); };
  steps.removeTrayIcon = [this] { shell_->removeTrayIcon(); };
  // Our grab of the key would refuse the new instance's registration of the same key.
  steps.releaseHotkey = [this] { settings_->releaseHotkey(); };
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

// Nothing of the browser is freed: the process is about to end, and its threads with it.
void Program::leaveWorkersToTheEnd() {
  (void)browser_.release();
}

bool Program::IsAnotherInstance(const QString& name) {
  instance_ = services_.makeInstanceChannel();
  awaitRestartedPredecessor(*instance_, name);
  if (!instance_->isAnotherInstance(name)) {
    connect(instance_.get(), &InstanceChannel::showRequested, this,
            [this] { ShowAndActivateMainWindow(windows_->mainWindow()); });
    return false;
  }
  return true;
}

// The running instance has been asked to show itself; this one only takes its caption away so that
// nothing can mistake it for the first, and ends without having added anything.
void Program::showFirstInstance() {
  windows_->mainWindow().setWindowTitle(QString());
  instance_.reset();
}

// Skin 0 is "黑色", skin 1 "白色" (the skin box's own order); anything else keeps the dark one.
void Program::applySkinColour(int skin) {
  state_.skinIndex = skin == 1 ? 1 : 0;
  windows_->applySkin(state_.skinIndex);
}

// A restore sets the boxes without any toggle event: whatever follows an option reads it again here.
void Program::applyRestoredOptions() {
  browser_->applyOptions();
  state_.tipsOff = windows_->mainControls().选择框_关闭提示->isChecked();
}

void Program::showOpeningLine() {
  windows_->mainControls().标签_提示文本->setText(pickOpeningLine(services_.drawLine));
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
  ShowMainWindow(windows_->mainWindow());
}

void Program::hideFloatingIcon() {
  windows_->floatIcon().hideFloat();
}

FileManager* Program::fileManager() {
  if (!fileManager_ && services_.makeFileManager) fileManager_ = services_.makeFileManager();
  return fileManager_.get();
}

}  // namespace pimrose
