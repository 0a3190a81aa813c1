#pragma once

#include <QDBusArgument>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace pimrose::portal {

// One entry of the a(sa{sv}) lists that the GlobalShortcuts portal's BindShortcuts takes and
// answers: the shortcut's identifier and its properties ("description", "preferred_trigger", ...).
// Register with qDBusRegisterMetaType<Shortcut>() and qDBusRegisterMetaType<QList<Shortcut>>().
struct Shortcut {
  QString id;
  QVariantMap properties;
};

inline QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

inline const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

}  // namespace pimrose::portal

Q_DECLARE_METATYPE(pimrose::portal::Shortcut)
