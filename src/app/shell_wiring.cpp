#include "app/shell_wiring.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include "app/app_log.h"
#include "platform/exit_signals.h"
#include "shell/hide_into_tray.h"
#include "shell/screen_placement.h"
#include "shell/tray_event.h"
#include "shell/tray_icon.h"
#include "shell/window_commands.h"
#include "ui/check_box.h"
#include "ui/window.h"
#include "ui/window_skin.h"

namespace pimrose {
namespace {

const QString kCaption = QStringLiteral("Pimrose");
// Started this soon after the user's session began, the program is an autostart and waits in the
// notification area.
constexpr std::uint64_t kAutostartUpTimeMs = 120000;

QByteArray trayIco() {
  QFile file(QStringLiteral(":/pimrose/tray.ico"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

ShellWiring::ShellWiring(ui::Window& mainWindow, const ui::MainWindowControls& controls, TrayIcon& trayIcon,
                         BootClock sessionClock, Calls calls)
    : mainWindow_(mainWindow),
      main_(controls),
      sessionClock_(std::move(sessionClock)),
      calls_(std::move(calls)),
      trayIcon_(trayIcon) {
  mainWindow_.setCloseHandler([this] { return onCloseRequested(); });
  connect(main_.窗口EX1, &ui::WindowSkin::captionButtonPressed, this, &ShellWiring::onCaptionButton);
}

// Before the main window goes, so that its end reaches no routine of a program being destroyed.
ShellWiring::~ShellWiring() {
  trayIcon_.remove();
}

void ShellWiring::wireWindowButtons() {
  auto* keepClear = main_.选择框_最大化不遮任务栏;
  maximise_ = new MaximiseToggle(mainWindow_, [keepClear] { return keepClear->isChecked(); });
}

// A logout, a SIGTERM, SIGINT or SIGHUP end the program through its own exit steps, so the settings
// are saved as on any other exit.
void ShellWiring::watchSessionEnd() {
  exitSignals_ = std::make_unique<ExitSignals>();
  connect(exitSignals_.get(), &ExitSignals::received, this, [this] { calls_.exitProgram(); });
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    connect(app, &QGuiApplication::commitDataRequest, this, [this] { calls_.saveSettings(); });
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          [this] { calls_.exitProgram(); });
}

void ShellWiring::addTrayIcon() {
  if (calls_.exiting() || trayIcon_.isAdded()) return;
  trayIcon_.add(&mainWindow_, trayIco(), kCaption);
  trayIcon_.attach([this](int code) { onTrayEvent(code); });
}

void ShellWiring::removeTrayIcon() {
  trayIcon_.remove();
}

void ShellWiring::applyUpTimeRule() {
  if (hideAtEarlyBoot(sessionClock_() <= kAutostartUpTimeMs, canHideIntoTray(trayIcon_))) {
    mainWindow_.hide();
    return;
  }
  if (mainWindow_.isMinimized()) mainWindow_.showNormal();
  mainWindow_.raise();
  mainWindow_.show();
}

void ShellWiring::onTrayEvent(int code) {
  const TrayActions actions{
      [this] { ShowMainWindow(mainWindow_); },
      calls_.popUpTrayMenu,
      [this] { trayIcon_.add(&mainWindow_, trayIco(), kCaption); },
      // Nothing could call a hidden window back now: it waits on the task bar instead.
      [this] {
        if (!mainWindow_.isVisible()) mainWindow_.showMinimized();
      },
  };
  pimrose::onTrayEvent(code, actions);
}

bool ShellWiring::onCloseRequested() {
  if (calls_.exiting()) return true;
  const SendAway where =
      closeRequestOutcome(main_.选择框_最小化到托盘->isChecked(), canHideIntoTray(trayIcon_));
  sendAway(where);
  return where == SendAway::Exit;
}

void ShellWiring::onCaptionButton(ui::CaptionButton button) {
  switch (button) {
    case ui::CaptionButton::Close:
      sendAway(closeButtonOutcome(main_.选择框_最小化到托盘->isChecked(), canHideIntoTray(trayIcon_)));
      break;
    case ui::CaptionButton::Maximise:
      maximise_->toggleMaximised();
      break;
    case ui::CaptionButton::Minimise:
      sendAway(minimiseButtonOutcome(canHideIntoTray(trayIcon_)));
      break;
  }
}

void ShellWiring::sendAway(SendAway where) {
  switch (where) {
    case SendAway::HideIntoTray:
      qCDebug(lcApp) << "sent away: into the tray";
      mainWindow_.hide();
      break;
    case SendAway::Minimise:
      qCDebug(lcApp) << "sent away: minimise";
      mainWindow_.showMinimized();
      break;
    case SendAway::Exit:
      calls_.exitProgram();
      break;
  }
}

}  // namespace pimrose
