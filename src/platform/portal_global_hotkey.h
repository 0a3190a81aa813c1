#pragma once

#include <QDBusConnection>
#include <QString>

#include <memory>

#include "platform/global_hotkey.h"

namespace pimrose {

// The trigger asked of the portal for a combination, in the notation freedesktop shortcut portals
// read: "F5", "CTRL+SHIFT+F2".
QString portalTrigger(Qt::KeyboardModifiers modifiers, int functionKey);

// Hotkeys through the org.freedesktop.portal.GlobalShortcuts portal on `bus`. Each registration opens
// a portal session of its own and binds one shortcut in it, named after its key and asking for that
// key as the preferred trigger. Registrations are always answered later (the portal may ask the user
// first): held once the portal lists the shortcut as bound; failed on any error (no portal, a portal
// without global shortcuts), on a refusal, or when the session is closed by the portal. Releasing a
// registration closes its session.
std::unique_ptr<GlobalHotkey> makePortalGlobalHotkey(const QDBusConnection& bus);

}  // namespace pimrose
