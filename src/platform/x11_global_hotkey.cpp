#include "platform/x11_global_hotkey.h"

#if PIMROSE_HAVE_XCB

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QList>
#include <QMap>
#include <QScreen>

#include "platform/platform_log.h"

namespace pimrose {
namespace {

// The modifier bit that carries NumLock differs between keymaps (usually Mod2): the server knows.
uint16_t numLockMask(xcb_connection_t* connection, xcb_key_symbols_t* symbols) {
  xcb_keycode_t* numLock = xcb_key_symbols_get_keycode(symbols, XK_Num_Lock);
  if (!numLock) return 0;
  uint16_t mask = 0;
  if (auto* reply =
          xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr)) {
    const xcb_keycode_t* map = xcb_get_modifier_mapping_keycodes(reply);
    for (int mod = 0; mod < 8; ++mod)
      for (int k = 0; k < reply->keycodes_per_modifier; ++k)
        for (const xcb_keycode_t* code = numLock; *code != XCB_NO_SYMBOL; ++code)
          if (map[mod * reply->keycodes_per_modifier + k] == *code) mask = static_cast<uint16_t>(1 << mod);
    std::free(reply);
  }
  std::free(numLock);
  return mask;
}

uint16_t xcbModifiers(Qt::KeyboardModifiers modifiers) {
  uint16_t mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= XCB_MOD_MASK_SHIFT;
  if (modifiers & Qt::ControlModifier) mask |= XCB_MOD_MASK_CONTROL;
  if (modifiers & Qt::AltModifier) mask |= XCB_MOD_MASK_1;
  return mask;
}

class X11GlobalHotkey : public GlobalHotkey, public QAbstractNativeEventFilter {
 public:
  explicit X11GlobalHotkey(xcb_connection_t* connection)
      : connection_(connection),
        root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
        symbols_(xcb_key_symbols_alloc(connection)) {
    locks_ = static_cast<uint16_t>(XCB_MOD_MASK_LOCK | numLockMask(connection_, symbols_));
    qGuiApp->installNativeEventFilter(this);
  }

  ~X11GlobalHotkey() override {
    qGuiApp->removeNativeEventFilter(this);
    for (const int id : grabs_.keys()) release(id);
    xcb_key_symbols_free(symbols_);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS) return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (press->event != root_) return false;
    const uint16_t modifiers = press->state & ~locks_ & 0xff;
    for (auto it = grabs_.cbegin(); it != grabs_.cend(); ++it) {
      if (it->codes.contains(press->detail) && it->modifiers == modifiers) {
        reportPress(it.key());
        return true;
      }
    }
    return false;
  }

 protected:
  Grab grab(int id, Qt::KeyboardModifiers modifiers, int functionKey) override {
    KeyGrab grab{keycodesOf(static_cast<xcb_keysym_t>(XK_F1 + functionKey - 1)), xcbModifiers(modifiers)};
    if (grab.codes.isEmpty()) return Grab::Refused;
    const uint16_t numLock = locks_ & ~XCB_MOD_MASK_LOCK;
    const uint16_t variants[] = {0, XCB_MOD_MASK_LOCK, numLock, locks_};
    bool refused = false;
    for (const xcb_keycode_t code : grab.codes)
      for (const uint16_t variant : variants) refused |= !grabOne(code, grab.modifiers | variant);
    if (refused) {
      // BadAccess: another client holds the key. Our own grabs of it go again.
      ungrab(grab);
      qCInfo(lcPlatform) << "hotkey F" << functionKey << "is held by another client";
      return Grab::Refused;
    }
    grabs_.insert(id, grab);
    return Grab::Held;
  }

  bool release(int id) override {
    const auto it = grabs_.constFind(id);
    if (it == grabs_.cend()) return false;
    ungrab(*it);
    grabs_.erase(it);
    return true;
  }

 private:
  struct KeyGrab {
    QList<xcb_keycode_t> codes;  // a key symbol may sit on several keys
    uint16_t modifiers = 0;
  };

  QList<xcb_keycode_t> keycodesOf(xcb_keysym_t symbol) const {
    QList<xcb_keycode_t> codes;
    xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols_, symbol);
    for (const xcb_keycode_t* code = found; code && *code != XCB_NO_SYMBOL; ++code) codes << *code;
    std::free(found);
    return codes;
  }

  bool grabOne(xcb_keycode_t code, uint16_t modifiers) {
    // owner_events 0: the press is reported on the root window, never to one of our windows.
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(connection_, 0, root_, modifiers, code,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    std::free(error);
    return error == nullptr;
  }

  // Ungrabbing a combination this client never grabbed does nothing, so partial grabs go cleanly.
  void ungrab(const KeyGrab& grab) {
    const uint16_t numLock = locks_ & ~XCB_MOD_MASK_LOCK;
    const uint16_t variants[] = {0, XCB_MOD_MASK_LOCK, numLock, locks_};
    for (const xcb_keycode_t code : grab.codes)
      for (const uint16_t variant : variants)
        xcb_ungrab_key(connection_, code, root_, static_cast<uint16_t>(grab.modifiers | variant));
    xcb_flush(connection_);
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
  xcb_key_symbols_t* symbols_;
  uint16_t locks_ = XCB_MOD_MASK_LOCK;
  QMap<int, KeyGrab> grabs_;
};

xcb_connection_t* qtConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

bool announcesXWaylandExtension(xcb_connection_t* connection) {
  static constexpr char kName[] = "XWAYLAND";
  auto* reply = xcb_query_extension_reply(connection,
                                          xcb_query_extension(connection, sizeof kName - 1, kName), nullptr);
  const bool present = reply && reply->present;
  std::free(reply);
  return present;
}

// Qt names its X11 screens after the server's RandR outputs.
bool outputsNamedXWayland() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  return !screens.isEmpty() && std::all_of(screens.cbegin(), screens.cend(), [](const QScreen* screen) {
    return screen->name().startsWith(QLatin1String("XWAYLAND"));
  });
}

}  // namespace

std::unique_ptr<GlobalHotkey> makeX11GlobalHotkey() {
  xcb_connection_t* connection = qtConnection();
  if (!connection) return nullptr;
  return std::make_unique<X11GlobalHotkey>(connection);
}

bool runsOnXWayland() {
  xcb_connection_t* connection = qtConnection();
  if (!connection) return false;
  return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || announcesXWaylandExtension(connection) ||
         outputsNamedXWayland();
}

}  // namespace pimrose

#else

namespace pimrose {

std::unique_ptr<GlobalHotkey> makeX11GlobalHotkey() {
  return nullptr;
}

bool runsOnXWayland() {
  return false;
}

}  // namespace pimrose

#endif
