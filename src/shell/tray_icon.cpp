#include "shell/tray_icon.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include "shell/ico_image.h"
#include "shell/shell_log.h"
#include "shell/tray_event.h"
#include "shell/tray_host.h"
#include "text/gbk_bytes.h"

namespace pimrose {
namespace {

constexpr int kHostWatchMs = 1000;
constexpr int kDefaultBalloonMs = 10000;

int eventCodeOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return kTrayLeftPressed;
    case QSystemTrayIcon::Context:
      return kTrayRightPressed;
    case QSystemTrayIcon::DoubleClick:
      return kTrayLeftDoubleClicked;
    case QSystemTrayIcon::MiddleClick:
      return kTrayMiddlePressed;
    default:
      return 0;
  }
}

QSystemTrayIcon::MessageIcon balloonIcon(int kind) {
  switch (kind) {
    case 1:
      return QSystemTrayIcon::Information;
    case 2:
      return QSystemTrayIcon::Warning;
    case 3:
      return QSystemTrayIcon::Critical;
    default:
      return QSystemTrayIcon::NoIcon;
  }
}

}  // namespace

TrayIcon::TrayIcon(HostProbe hostPresent) : hostPresent_(std::move(hostPresent)) {
  if (!hostPresent_) {
    askQtsTrayKind_ = true;
    hostPresent_ = [this] { return tray_ && trayHostPresent(kind_); };
  }
  hostWatch_.setInterval(kHostWatchMs);
  connect(&hostWatch_, &QTimer::timeout, this, &TrayIcon::checkHost);
}

TrayIcon::~TrayIcon() {
  remove();
}

bool TrayIcon::add(QWidget* window, const QByteArray& icon, const QString& tip) {
  if (!window) return false;
  owner_ = window;
  disconnect(ownerDestroyed_);
  ownerDestroyed_ = connect(window, &QObject::destroyed, this, [this] { raise(kTrayEventWindowDestroyed); });
  icon_ = icon.isEmpty() ? window->windowIcon() : iconFromIcoBytes(icon, 0);
  tip_ = gbkPrefix(tip, kTipBytes);
  ensureIcon();
  tray_->setIcon(icon_);
  tray_->setToolTip(tip_);
  tray_->show();
  added_ = true;
  hostWasPresent_ = hostPresent_();
  hostWatch_.start();
  qCDebug(lcShell) << "tray icon added, host present:" << hostWasPresent_;
  return isShownInTray();
}

bool TrayIcon::remove() {
  const bool wasAdded = added_;
  hostWatch_.stop();
  disconnect(ownerDestroyed_);
  if (tray_) tray_->hide();
  owner_ = nullptr;
  added_ = false;
  return wasAdded;
}

bool TrayIcon::setTip(const QString& tip) {
  tip_ = gbkPrefix(tip, kTipBytes);
  if (tray_) tray_->setToolTip(tip_);
  return added_;
}

bool TrayIcon::showBalloon(const QString& title, const QString& text, int kind, int ms) {
  if (!isShownInTray()) return false;
  tray_->showMessage(gbkPrefix(title, kBalloonTitleBytes), gbkPrefix(text, kBalloonTextBytes),
                     balloonIcon(kind), ms > 0 ? ms : kDefaultBalloonMs);
  return true;
}

bool TrayIcon::changeIcon(const QByteArray& ico) {
  const QIcon icon = iconFromIcoBytes(ico, 0);
  if (icon.isNull()) return false;
  icon_ = icon;
  if (tray_) tray_->setIcon(icon_);
  return added_;
}

QIcon TrayIcon::iconFromIcoBytes(const QByteArray& ico, int index, int* width, int* height) {
  const std::optional<IcoEntry> entry = icoEntryAt(ico, index);
  if (!entry) return {};
  const QImage image = decodeIcoImage(entry->imageBytes);
  if (image.isNull()) return {};
  if (width) *width = entry->width;
  if (height) *height = entry->height;
  return QIcon(QPixmap::fromImage(image));
}

void TrayIcon::attach(EventRoutine routine) {
  routine_ = std::move(routine);
}

bool TrayIcon::isShownInTray() const {
  return added_ && tray_ && tray_->isVisible() && !icon_.isNull() && hostPresent_();
}

void TrayIcon::checkHost() {
  const bool present = hostPresent_();
  if (present == hostWasPresent_ || !added_) return;
  hostWasPresent_ = present;
  qCDebug(lcShell) << "tray host" << (present ? "came back" : "went away");
  raise(present ? kTrayEventTaskbarRecreated : kTrayEventHostLost);
}

void TrayIcon::raise(int event) const {
  if (event != 0 && routine_) routine_(event);
}

void TrayIcon::ensureIcon() {
  if (tray_) return;
  // Qt chooses its tray when the icon is made: the host looked for from then on is that one.
  if (askQtsTrayKind_) kind_ = trayKindNow();
  qCDebug(lcShell) << "tray icon through" << (kind_ == TrayKind::Notifier ? "StatusNotifierItem" : "XEmbed");
  tray_ = std::make_unique<QSystemTrayIcon>();
  connect(tray_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) { raise(eventCodeOf(reason)); });
  connect(tray_.get(), &QSystemTrayIcon::messageClicked, this, [this] { raise(kTrayBalloonClicked); });
}

bool canHideIntoTray(const TrayIcon& tray) {
  return tray.isShownInTray();
}

}  // namespace pimrose
