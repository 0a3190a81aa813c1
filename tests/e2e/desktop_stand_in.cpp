// Desktop services of a Wayland session for the tests, on the session bus it is started on (a private
// one): the GlobalShortcuts portal (--portal), which binds every shortcut asked for unless --refuse is
// given, and a StatusNotifierItem watcher with a host (--tray-watcher). It prints what it is asked,
// one line each ("CreateSession", "BindShortcuts ID preferred_trigger=KEY", "session closed PATH",
// "item registered SERVICE"), and "ready" once its names are its own. A test presses a bound shortcut
// by calling org.pimrose.StandIn.Press(ID) on /org/pimrose/StandIn, and closes every session from the
// portal's side with CloseSessions().
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <cstdio>

#include "platform/portal_shortcut.h"

namespace {

using pimrose::portal::Shortcut;
using Shortcuts = QList<Shortcut>;

const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

void say(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

// The path the portal gives a request: the caller's unique name and its handle token.
QString requestPath(const QDBusMessage& call, const QVariantMap& options) {
  return kPortalPath + QStringLiteral("/request/") + call.service().mid(1).replace(u'.', u'_') + u'/' +
         options.value(QStringLiteral("handle_token")).toString();
}

// Answers a request with its Response signal once the method's reply has gone out.
void respondLater(const QString& request, uint code, const QVariantMap& results) {
  QTimer::singleShot(0, [request, code, results] {
    QDBusMessage response = QDBusMessage::createSignal(
        request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    response << code << results;
    QDBusConnection::sessionBus().send(response);
  });
}

class PortalSession : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

 public:
  explicit PortalSession(QString path) : path_(std::move(path)) {}
  QStringList bound;

 public Q_SLOTS:
  void Close() {
    say(QStringLiteral("session closed ") + path_);
    QDBusConnection::sessionBus().unregisterObject(path_);
    deleteLater();
  }

  // The portal's own end of the session (as when the desktop revokes it): Closed, then gone.
  void closeByPortal() {
    QDBusMessage closed = QDBusMessage::createSignal(path_, QStringLiteral("org.freedesktop.portal.Session"),
                                                     QStringLiteral("Closed"));
    closed << QVariantMap();
    QDBusConnection::sessionBus().send(closed);
    QDBusConnection::sessionBus().unregisterObject(path_);
    deleteLater();
  }

 private:
  QString path_;
};

class GlobalShortcutsPortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
  Q_PROPERTY(uint version READ version CONSTANT)

 public:
  explicit GlobalShortcutsPortal(bool refuse) : refuse_(refuse) {}
  uint version() const { return 1; }

  void closeAll() {
    for (const QPointer<PortalSession>& session : std::as_const(sessions_))
      if (session) session->closeByPortal();
  }

  // Emits Activated for every open session that bound `shortcutId`.
  void press(const QString& shortcutId) {
    for (auto it = sessions_.cbegin(); it != sessions_.cend(); ++it) {
      if (!*it || !(*it)->bound.contains(shortcutId)) continue;
      QDBusMessage activated = QDBusMessage::createSignal(
          kPortalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("Activated"));
      activated << QVariant::fromValue(QDBusObjectPath(it.key())) << shortcutId
                << qulonglong(QDateTime::currentMSecsSinceEpoch()) << QVariantMap();
      QDBusConnection::sessionBus().send(activated);
    }
  }

 public Q_SLOTS:
  QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& call) {
    say(QStringLiteral("CreateSession"));
    const QString session = kPortalPath + QStringLiteral("/session/") +
                            call.service().mid(1).replace(u'.', u'_') + u'/' +
                            options.value(QStringLiteral("session_handle_token")).toString();
    auto* object = new PortalSession(session);
    QDBusConnection::sessionBus().registerObject(session, object, QDBusConnection::ExportAllSlots);
    sessions_.insert(session, object);
    const QString request = requestPath(call, options);
    respondLater(request, 0, {{QStringLiteral("session_handle"), session}});
    return QDBusObjectPath(request);
  }

  // The list's type is spelled out: D-Bus finds a slot by the names of its parameters' types.
  QDBusObjectPath BindShortcuts(const QDBusObjectPath& session,
                                const QList<pimrose::portal::Shortcut>& shortcuts, const QString&,
                                const QVariantMap& options, const QDBusMessage& call) {
    PortalSession* object = sessions_.value(session.path());
    for (const Shortcut& shortcut : shortcuts) {
      say(QStringLiteral("BindShortcuts %1 preferred_trigger=%2")
              .arg(shortcut.id, shortcut.properties.value(QStringLiteral("preferred_trigger")).toString()));
      if (object && !refuse_) object->bound << shortcut.id;
    }
    const QString request = requestPath(call, options);
    if (!object || refuse_)
      respondLater(request, 1, {});
    else
      respondLater(request, 0, {{QStringLiteral("shortcuts"), QVariant::fromValue(shortcuts)}});
    return QDBusObjectPath(request);
  }

 private:
  bool refuse_;
  QMap<QString, QPointer<PortalSession>> sessions_;
};

// The test's hand on the portal.
class StandInControl : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.pimrose.StandIn")

 public:
  explicit StandInControl(GlobalShortcutsPortal& portal) : portal_(portal) {}

 public Q_SLOTS:
  void Press(const QString& shortcutId) { portal_.press(shortcutId); }
  void CloseSessions() { portal_.closeAll(); }

 private:
  GlobalShortcutsPortal& portal_;
};

// A watcher whose host is always there: every registered item counts as shown.
class NotifierWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered CONSTANT)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion CONSTANT)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public Q_SLOTS:
  void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& call) {
    // An item may give its object path only: the caller's name is then the service.
    const QString item = service.startsWith(u'/') ? call.service() + service : service;
    items_ << item;
    say(QStringLiteral("item registered ") + item);
    Q_EMIT StatusNotifierItemRegistered(item);
  }
  void RegisterStatusNotifierHost(const QString&) {}

 Q_SIGNALS:
  void StatusNotifierItemRegistered(const QString& service);
  void StatusNotifierItemUnregistered(const QString& service);
  void StatusNotifierHostRegistered();

 private:
  QStringList items_;
};

bool own(QDBusConnection& bus, const QString& path, QObject* object, const QString& name) {
  if (bus.registerObject(path, object,
                         QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                             QDBusConnection::ExportAllProperties) &&
      bus.registerService(name))
    return true;
  std::fprintf(stderr, "cannot take %s: %s\n", qPrintable(name), qPrintable(bus.lastError().message()));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  qDBusRegisterMetaType<Shortcut>();
  qDBusRegisterMetaType<Shortcuts>();
  QDBusConnection bus = QDBusConnection::sessionBus();
  GlobalShortcutsPortal portal(arguments.contains(QStringLiteral("--refuse")));
  StandInControl control(portal);
  NotifierWatcher watcher;
  if (arguments.contains(QStringLiteral("--portal")) &&
      (!own(bus, kPortalPath, &portal, QStringLiteral("org.freedesktop.portal.Desktop")) ||
       !own(bus, QStringLiteral("/org/pimrose/StandIn"), &control, QStringLiteral("org.pimrose.StandIn"))))
    return 1;
  if (arguments.contains(QStringLiteral("--tray-watcher")) &&
      !own(bus, QStringLiteral("/StatusNotifierWatcher"), &watcher,
           QStringLiteral("org.kde.StatusNotifierWatcher")))
    return 1;
  say(QStringLiteral("ready"));
  return QCoreApplication::exec();
}

#include "desktop_stand_in.moc"
