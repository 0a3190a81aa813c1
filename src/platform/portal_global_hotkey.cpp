#include "platform/portal_global_hotkey.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <functional>

#include "platform/dbus_signal_relay.h"
#include "platform/platform_log.h"
#include "platform/portal_shortcut.h"

namespace pimrose {
namespace {

using portal::Shortcut;

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
constexpr uint kResponseSuccess = 0;

// The session handle comes as a string (as the portal documents it) or as an object path.
QString pathText(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
    return value.value<QDBusObjectPath>().path();
  return value.toString();
}

QList<Shortcut> shortcutsIn(const QVariant& value) {
  QList<Shortcut> shortcuts;
  if (value.canConvert<QDBusArgument>()) value.value<QDBusArgument>() >> shortcuts;
  return shortcuts;
}

class PortalGlobalHotkey : public GlobalHotkey {
 public:
  explicit PortalGlobalHotkey(const QDBusConnection& bus)
      : bus_(bus),
        activated_([this](const QDBusMessage& m) { onActivated(m); }),
        closed_([this](const QDBusMessage& m) { onSessionClosed(m); }),
        responses_([this](const QDBusMessage& m) { onResponse(m); }) {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    // The portal names its request objects after our unique name: ":1.42" becomes "1_42".
    sender_ = bus_.baseService().mid(1).replace(u'.', u'_');
    bus_.connect(kService, kPath, kShortcutsInterface, QStringLiteral("Activated"), &activated_,
                 DBusSignalRelay::slot());
  }

  ~PortalGlobalHotkey() override {
    for (const Binding& binding : std::as_const(bindings_)) closeSession(binding.session);
  }

 protected:
  Grab grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) override {
    if (!bus_.isConnected()) {
      qCInfo(lcPlatform) << "no session bus: no hotkey portal";
      return Grab::Refused;
    }
    const QString trigger = portalTrigger(modifiers, functionKey);
    bindings_.insert(id, {QString(), QStringLiteral("toggle-main-window-") + trigger.toLower(), trigger});
    QVariantMap options{{QStringLiteral("session_handle_token"), nextToken()}};
    request(QStringLiteral("CreateSession"), {}, options, [this, id](uint code, const QVariantMap& results) {
      const QString session = pathText(results.value(QStringLiteral("session_handle")));
      if (!bindings_.contains(id)) {
        closeSession(session);  // released while the portal was asked
        return;
      }
      if (code != kResponseSuccess || session.isEmpty()) return fail(id, QStringLiteral("no session"));
      bindings_[id].session = session;
      bus_.connect(kService, session, kSessionInterface, QStringLiteral("Closed"), &closed_,
                   DBusSignalRelay::slot());
      bind(id);
    });
    return Grab::Asked;
  }

  bool release(int id) override {
    const auto it = bindings_.constFind(id);
    if (it == bindings_.cend()) return false;
    closeSession(it->session);
    bindings_.erase(it);
    return true;
  }

 private:
  using Answer = std::function<void(uint code, const QVariantMap& results)>;

  struct Binding {
    QString session;  // the portal session's object path once it exists
    QString shortcutId;
    QString trigger;
  };

  // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
  void onActivated(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2) return;
    const QString session = pathText(arguments.at(0));
    const QString shortcutId = arguments.at(1).toString();
    for (auto it = bindings_.cbegin(); it != bindings_.cend(); ++it)
      if (it->session == session && it->shortcutId == shortcutId) reportPress(it.key());
  }

  void onSessionClosed(const QDBusMessage& message) {
    for (auto it = bindings_.begin(); it != bindings_.end(); ++it) {
      if (it->session != message.path()) continue;
      it->session.clear();  // the portal closed it: nothing left to close
      return fail(it.key(), QStringLiteral("the portal closed the session"));
    }
  }

  // Response(u response, a{sv} results)
  void onResponse(const QDBusMessage& message) {
    const Answer answer = answers_.take(message.path());
    disconnectRequest(message.path());
    const QVariantList arguments = message.arguments();
    if (!answer) return;
    if (arguments.size() < 2) return answer(2, {});  // malformed: as a failure, never left waiting
    answer(arguments.at(0).toUInt(), qdbus_cast<QVariantMap>(arguments.at(1)));
  }

  void bind(int id) {
    const Binding& binding = bindings_[id];
    const QList<Shortcut> shortcuts{{binding.shortcutId,
                                     {{QStringLiteral("description"), QStringLiteral("Pimrose 呼出窗口")},
                                      {QStringLiteral("preferred_trigger"), binding.trigger}}}};
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(binding.session)),
                                 QVariant::fromValue(shortcuts), QString()};
    request(
        QStringLiteral("BindShortcuts"), arguments, {}, [this, id](uint code, const QVariantMap& results) {
          const auto it = bindings_.constFind(id);
          if (it == bindings_.cend()) return;
          const QList<Shortcut> bound = shortcutsIn(results.value(QStringLiteral("shortcuts")));
          const bool held = code == kResponseSuccess &&
                            std::any_of(bound.cbegin(), bound.cend(),
                                        [&](const Shortcut& s) { return s.id == it->shortcutId; });
          if (!held)
            return fail(id, QStringLiteral("the portal did not bind the shortcut (response %1)").arg(code));
          qCDebug(lcPlatform) << "hotkey" << it->trigger << "held through the GlobalShortcuts portal";
          settle(id, true);
        });
  }

  // Calls a portal method whose answer comes later in a Request's Response signal. The request's
  // path follows from the handle token, so the signal is connected before the call goes out and
  // cannot be missed; an error answer to the call itself answers as a failed response.
  void request(const QString& method, QVariantList arguments, QVariantMap options, const Answer& answer) {
    const QString token = nextToken();
    const QString path = kPath + QStringLiteral("/request/") + sender_ + u'/' + token;
    options.insert(QStringLiteral("handle_token"), token);
    arguments << options;
    answers_.insert(path, answer);
    connectRequest(path);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kShortcutsInterface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path, method](QDBusPendingCallWatcher* done) {
              done->deleteLater();
              const QDBusPendingReply<QDBusObjectPath> reply = *done;
              if (reply.isError()) {
                qCInfo(lcPlatform) << "hotkey portal:" << method << "failed:" << reply.error().name()
                                   << reply.error().message();
                disconnectRequest(path);
                if (const Answer answer = answers_.take(path)) answer(2, {});
                return;
              }
              // An older portal chooses its own request path: listen there instead.
              const QString given = reply.value().path();
              if (given != path && answers_.contains(path)) {
                disconnectRequest(path);
                answers_.insert(given, answers_.take(path));
                connectRequest(given);
              }
            });
  }

  void connectRequest(const QString& path) {
    bus_.connect(kService, path, kRequestInterface, QStringLiteral("Response"), &responses_,
                 DBusSignalRelay::slot());
  }
  void disconnectRequest(const QString& path) {
    bus_.disconnect(kService, path, kRequestInterface, QStringLiteral("Response"), &responses_,
                    DBusSignalRelay::slot());
  }

  void closeSession(const QString& session) {
    if (session.isEmpty()) return;
    bus_.disconnect(kService, session, kSessionInterface, QStringLiteral("Closed"), &closed_,
                    DBusSignalRelay::slot());
    bus_.asyncCall(
        QDBusMessage::createMethodCall(kService, session, kSessionInterface, QStringLiteral("Close")));
  }

  void fail(int id, const QString& why) {
    qCInfo(lcPlatform) << "hotkey not held:" << why;
    if (const auto it = bindings_.find(id); it != bindings_.end()) {
      closeSession(it->session);
      bindings_.erase(it);
    }
    settle(id, false);
  }

  QString nextToken() { return QStringLiteral("pimrose%1").arg(++tokens_); }

  QDBusConnection bus_;
  DBusSignalRelay activated_;
  DBusSignalRelay closed_;
  DBusSignalRelay responses_;
  QString sender_;
  int tokens_ = 0;
  QMap<int, Binding> bindings_;
  QHash<QString, Answer> answers_;  // by request path
};

}  // namespace

QString portalTrigger(Qt::KeyboardModifiers modifiers, int functionKey) {
  QStringList parts;
  if (modifiers & Qt::ControlModifier) parts << QStringLiteral("CTRL");
  if (modifiers & Qt::AltModifier) parts << QStringLiteral("ALT");
  if (modifiers & Qt::ShiftModifier) parts << QStringLiteral("SHIFT");
  parts << QStringLiteral("F%1").arg(functionKey);
  return parts.join(u'+');
}

std::unique_ptr<GlobalHotkey> makePortalGlobalHotkey(const QDBusConnection& bus) {
  return std::make_unique<PortalGlobalHotkey>(bus);
}

}  // namespace pimrose
