#pragma once

#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

#include "shell/tray_host.h"

class QSystemTrayIcon;
class QWidget;

namespace pimrose {

// The program's one icon in the notification area, over the desktop's tray (StatusNotifierItem on
// D-Bus where a watcher runs, the XEmbed tray otherwise).
//
// Start-up adds it with the main window, the program's .ico bytes and the tip "Pimrose", then
// attaches the event routine, which receives the codes of tray_event.h. The icon follows the tray
// host: when the host goes away and comes back Qt docks the icon again by itself, and the routine
// hears kTrayEventHostLost and then kTrayEventTaskbarRecreated. Exit and restart remove it.
//
// The operations on the buttons of the tray host's own toolbar have no counterpart on a freedesktop
// tray (a host's icons belong to their own programs); they keep their names and answer 0, false or
// the empty text.
class TrayIcon : public QObject {
  Q_OBJECT

 public:
  using EventRoutine = std::function<void(int event)>;
  using HostProbe = std::function<bool()>;

  // `hostPresent` answers whether a tray host runs; by default trayHostPresent() for the tray Qt
  // chose when the icon was made.
  explicit TrayIcon(HostProbe hostPresent = {});
  ~TrayIcon() override;

  static quintptr mainTrayToolbar() { return 0; }
  static quintptr overflowTrayToolbar() { return 0; }
  // Shows the icon for `window`: from the .ico bytes (image 0), or the window's own icon when no
  // bytes are given. A tip longer than 127 bytes (code page 936) is cut on a character boundary.
  // True when a tray host holds the icon; without one the icon appears as soon as a host starts.
  bool add(QWidget* window, const QByteArray& icon, const QString& tip);
  // Takes the icon away; true when there was one to take.
  bool remove();
  bool setTip(const QString& tip);
  // `kind`: 0 none, 1 information, 2 warning, 3 error; `ms` 0 means 10 seconds.
  bool showBalloon(const QString& title, const QString& text, int kind, int ms);
  bool changeIcon(const QByteArray& ico);
  // The image `index` of .ico bytes; a null icon when the bytes do not hold it whole. Width and
  // height are the directory entry's as stored.
  static QIcon iconFromIcoBytes(const QByteArray& ico, int index, int* width = nullptr,
                                int* height = nullptr);
  void attach(EventRoutine routine);
  static void pointerSweep(bool overflow) { (void)overflow; }
  static int buttonCommandId(int index) { return (void)index, 0; }
  static int buttonCount(bool overflow) { return (void)overflow, 0; }
  static bool deleteButton(int index) { return (void)index, false; }
  static bool hideButton(int index) { return (void)index, false; }
  static bool showButton(int index) { return (void)index, false; }
  static bool disableButton(int index) { return (void)index, false; }
  static bool enableButton(int index) { return (void)index, false; }
  static QString buttonText(int index) { return (void)index, QString(); }

  bool isAdded() const { return added_; }
  // The icon is really on screen: added, with an image, and a tray host holds it.
  bool isShownInTray() const;
  QString tip() const { return tip_; }
  QIcon icon() const { return icon_; }

  // Looks whether the tray host came or went since the last look and tells the event routine.
  // A timer calls it every second while the icon is added.
  void checkHost();

  static constexpr int kTipBytes = 127;
  static constexpr int kBalloonTextBytes = 255;
  static constexpr int kBalloonTitleBytes = 63;

 private:
  void raise(int event) const;
  void ensureIcon();

  HostProbe hostPresent_;
  bool askQtsTrayKind_ = false;  // no probe given: the desktop's, for the tray Qt chose
  TrayKind kind_ = TrayKind::XEmbed;
  std::unique_ptr<QSystemTrayIcon> tray_;
  QPointer<QWidget> owner_;
  QMetaObject::Connection ownerDestroyed_;
  QIcon icon_;
  QString tip_;
  EventRoutine routine_;
  QTimer hostWatch_;
  bool added_ = false;
  bool hostWasPresent_ = false;
};

// Whether the main window may hide into the tray now: only while the icon is really shown.
bool canHideIntoTray(const TrayIcon& tray);

}  // namespace pimrose
