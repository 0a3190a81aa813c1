#include "app/program.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QWindow>

#include "app/app_log.h"
#include "app/browser.h"
#include "app/main_window_handlers.h"
#include "app/opening_lines.h"
#include "pictures/drop_receiver.h"
#include "platform/autostart_entry.h"
#include "platform/ini_file.h"
#include "shell/float_window.h"
#include "shell/hide_into_tray.h"
#include "shell/screen_placement.h"
#include "shell/taskbar_widget.h"
#include "shell/tray_event.h"
#include "shell/tray_icon.h"
#include "ui/caption_buttons.h"
#include "ui/controls.h"
#include "ui/menu.h"

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
      trayIcon_(std::make_unique<TrayIcon>(services_.trayHostPresent)),
      dropReceiver_(std::make_unique<DropReceiver>()),
      mainWindow_(ui::loadWindow(ui::mainWindowDefinition())) {
  browser_ = std::make_unique<Browser>(*mainWindow_);
  connectWindowEvents();
}

Program::~Program() {
  // Before the main window goes, so that its end reaches no routine of a program being destroyed.
  trayIcon_->remove();
  dropReceiver_->stopDrops();
  if (instance_) instance_->release();
}

Program::Start Program::StartUp() {
  loadOtherWindows();
  new MainWindowHandlers(*mainWindow_, *logWindow_, [this](int skin) { applySkinColour(skin); });
  mainWindow_->resize(1200, 700);
  dressMainWindow();
  // Windows show their contents while dragged on every Linux window manager; nothing to switch on.
  if (IsAnotherInstance(kInstanceName)) {
    showFirstInstance();
    return Start::AnotherInstanceRuns;
  }
  trayIcon_->add(mainWindow_.get(), trayIco(), kCaption);
  trayIcon_->attach([this](int code) { onTrayEvent(code); });
  dropReceiver_->acceptDrops(
      mainWindow_.get(), [this](const QString& path) { browser_->queueDroppedPath(path); },
      [window = mainWindow_.get()](bool on) { window->setAcceptDrops(on); });
  mainWindow_->control<ui::Tabs>(QStringLiteral("选择夹_组件"))->setCurrentPage(0);
  mainWindow_->control<ui::Tabs>(QStringLiteral("选择夹_设置"))->setCurrentPage(0);
  InitSettings();
  browser_->InitLoading();
  floatIcon_->applyOption();
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
  wireShell();
}

void Program::wireShell() {
  const QStringList floatMenu{QStringLiteral("显示程序"), QStringLiteral("隐藏悬浮"),
                              QStringLiteral("重启程序"), QStringLiteral("退出程序")};
  auto popUpFloatMenu = [this, floatMenu] { popUpMenu(floatWindow_.get(), floatMenu); };
  auto* showFloat = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_显示悬浮图标"));
  floatIcon_ = new FloatWindow(*floatWindow_, *showFloat, {[this] { toggleMainWindow(); }, popUpFloatMenu});
  auto* keepClear = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_最大化不遮任务栏"));
  maximise_ = new MaximiseToggle(*mainWindow_, [keepClear] { return keepClear->isChecked(); });
  if (taskbarWidget_) (new TaskbarWidget(*taskbarWidget_, popUpFloatMenu))->embedWidgetInTaskbar();
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
  if (hideAtEarlyBoot(services_.bootClock() <= kAutostartUpTimeMs, canHideIntoTray(*trayIcon_))) {
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
  const bool toTray = mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_最小化到托盘"))->isChecked();
  const SendAway where = closeRequestOutcome(toTray, canHideIntoTray(*trayIcon_));
  if (where != SendAway::Exit) *allow = false;
  sendAway(where);
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

void Program::onCaptionButton(int index) {
  switch (index) {
    case ui::kCaptionClose: {
      const bool toTray =
          mainWindow_->control<ui::CheckBox>(QStringLiteral("选择框_最小化到托盘"))->isChecked();
      sendAway(closeButtonOutcome(toTray, canHideIntoTray(*trayIcon_)));
      break;
    }
    case ui::kCaptionMaximise:
      maximise_->toggleMaximised();
      break;
    case ui::kCaptionMinimise:
      sendAway(minimiseButtonOutcome(canHideIntoTray(*trayIcon_)));
      break;
    default:
      break;
  }
}

void Program::onTrayEvent(int code) {
  const TrayActions actions{
      [this] { showMainWindow(); },
      [this] {
        popUpMenu(mainWindow_.get(),
                  {QStringLiteral("显示程序"), QStringLiteral("软件重启"), QStringLiteral("退出程序")});
      },
      [this] { trayIcon_->add(mainWindow_.get(), trayIco(), kCaption); },
      // Nothing could call a hidden window back now: it waits on the task bar instead.
      [this] {
        if (!mainWindow_->isVisible()) mainWindow_->showMinimized();
      },
  };
  pimrose::onTrayEvent(code, actions);
}

// Shows the main window when hidden or minimised, else hides it.
void Program::toggleMainWindow() {
  if (mainWindow_->isVisible() && !mainWindow_->isMinimized())
    mainWindow_->hide();
  else
    showMainWindow();
}

void Program::popUpMenu(QWidget* owner, const QStringList& items) {
  delete menu_;
  menu_ = new ui::Menu(state_.skinIndex - 1, owner);
  for (const QString& item : items) menu_->insertItem(item);
  connect(menu_, &ui::Menu::itemChosen, this,
          [this, menu = menu_](int id) { onMenuItem(menu->itemTitle(id)); });
  menu_->popUpLater(QCursor::pos());
}

// The restart items belong to the program's command table; until it lands they do nothing.
void Program::onMenuItem(const QString& title) {
  if (title == QStringLiteral("显示程序"))
    showMainWindow();
  else if (title == QStringLiteral("隐藏悬浮"))
    floatIcon_->hideFloat();
  else if (title == QStringLiteral("退出程序"))
    ExitProgram();
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
