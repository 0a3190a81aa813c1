#include "platform/global_hotkey.h"

#include <QGuiApplication>

#include "platform/platform_log.h"
#include "platform/portal_global_hotkey.h"
#include "platform/x11_global_hotkey.h"

namespace pimrose {
namespace {

Qt::KeyboardModifiers modifiersOf(int code) {
  switch (code) {
    case 1:
      return Qt::ControlModifier;
    case 2:
      return Qt::ShiftModifier;
    case 3:
      return Qt::ControlModifier | Qt::ShiftModifier;
    case 4:
      return Qt::AltModifier;
    case 5:
      return Qt::AltModifier | Qt::ControlModifier;
    case 6:
      return Qt::AltModifier | Qt::ShiftModifier;
    default:
      return Qt::NoModifier;
  }
}

// Without a desktop that offers hotkeys every registration fails, as a taken key would.
class UnavailableHotkey : public GlobalHotkey {
 protected:
  Grab grab(int, Qt::KeyboardModifiers, int) override { return Grab::Refused; }
  bool release(int) override { return false; }
};

}  // namespace

GlobalHotkey::~GlobalHotkey() = default;

int GlobalHotkey::registerHotkey(int modifiers, int virtualKey) {
  const int id = ++lastId_;
  if (virtualKey < kVirtualKeyF1 || virtualKey > kVirtualKeyF12) return 0;
  switch (grab(id, modifiersOf(modifiers), virtualKey - kVirtualKeyF1 + 1)) {
    case Grab::Held:
      return id;
    case Grab::Asked:
      pending_.insert(id);
      return id;
    case Grab::Refused:
      break;
  }
  return 0;
}

bool GlobalHotkey::unregisterHotkey(int id) {
  pending_.remove(id);
  return id >= kFirstId && id <= lastId_ && release(id);
}

void GlobalHotkey::settle(int id, bool held) {
  pending_.remove(id);
  Q_EMIT settled(id, held);
}

void GlobalHotkey::reportPress(int id) {
  if (id >= kFirstId && id <= lastId_) Q_EMIT pressed(id);
}

std::unique_ptr<GlobalHotkey> makeGlobalHotkey() {
  const bool xwayland = runsOnXWayland();
  if (!xwayland)
    if (std::unique_ptr<GlobalHotkey> x11 = makeX11GlobalHotkey()) return x11;
  if (xwayland || QGuiApplication::platformName() == u"wayland") {
    qCDebug(lcPlatform).noquote() << (xwayland ? "XWayland" : "Wayland")
                                  << "session: hotkeys through the GlobalShortcuts portal";
    return makePortalGlobalHotkey(QDBusConnection::sessionBus());
  }
  return std::make_unique<UnavailableHotkey>();
}

}  // namespace pimrose
