#include "shell/tray_host.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>

#ifdef PIMROSE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#endif

namespace pimrose {
namespace {

// Asked once at start-up, on the UI thread: a watcher that does not answer soon counts as none.
constexpr int kHostQuestionMs = 500;

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

bool notifierWatcherRegistered() {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  return bus.interface()->isServiceRegistered(kWatcher).value();
}

// A watcher without a host shows nothing; Qt then keeps to the XEmbed tray.
bool notifierHostRegistered() {
  QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kHostQuestionMs);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

#ifdef PIMROSE_HAVE_XCB
bool xembedTrayOwned() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return false;
  const std::string name = "_NET_SYSTEM_TRAY_S0";
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(name.size()), name.data()), nullptr),
      &std::free);
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;
  std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
  return owner && owner->owner != XCB_NONE;
}
#else
bool xembedTrayOwned() {
  return false;
}
#endif

}  // namespace

TrayKind trayKindNow() {
  return notifierWatcherRegistered() && notifierHostRegistered() ? TrayKind::Notifier : TrayKind::XEmbed;
}

bool trayHostPresent(TrayKind kind) {
  return kind == TrayKind::Notifier ? notifierWatcherRegistered() : xembedTrayOwned();
}

}  // namespace pimrose
