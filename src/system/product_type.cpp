#include "system/product_type.h"

#include <QList>
#include <QSet>

#include <optional>

namespace pimrose {
namespace {

constexpr qint64 kWorkstation = 1;
constexpr qint64 kDomainController = 2;
constexpr qint64 kServer = 3;

// "server role" in the [global] section of smb.conf; Samba reads parameter names without regard to
// letter case or spaces.
bool isDomainController(const SystemFiles& files) {
  const std::optional<QByteArray> config = files.read(QStringLiteral("/etc/samba/smb.conf"));
  if (!config) return false;
  bool global = false;
  for (const QByteArray& raw : config->split('\n')) {
    const QByteArray line = raw.trimmed().toLower();
    if (line.startsWith('[')) global = line == "[global]";
    const qsizetype equals = line.indexOf('=');
    if (!global || equals < 0 || QByteArray(line.left(equals)).replace(' ', "") != "serverrole") continue;
    const QByteArray role = line.mid(equals + 1).simplified();
    return role.contains("domain controller") || role == "dc" || role == "pdc" || role == "bdc";
  }
  return false;
}

std::optional<qint64> fromChassisName(const QByteArray& name) {
  if (name == "server") return kServer;
  static const QSet<QByteArray> workstations{"desktop", "laptop",  "convertible",
                                             "tablet",  "handset", "watch"};
  if (workstations.contains(name)) return kWorkstation;
  return std::nullopt;
}

std::optional<qint64> machineInfoChassis(const SystemFiles& files) {
  const std::optional<QByteArray> info = files.read(QStringLiteral("/etc/machine-info"));
  if (!info) return std::nullopt;
  for (const QByteArray& line : info->split('\n')) {
    if (!line.startsWith("CHASSIS=")) continue;
    QByteArray name = line.mid(8).trimmed();
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\''))
      name = name.mid(1, name.size() - 2);
    return fromChassisName(name);
  }
  return std::nullopt;
}

// The SMBIOS chassis types: main server, rack mount, multi-system, blade and blade enclosure are
// servers; desktops, towers, portables, laptops, all-in-ones, tablets and small PCs are workstations.
std::optional<qint64> firmwareChassis(const SystemFiles& files) {
  bool ok = false;
  const int type = files.firstLine(QStringLiteral("/sys/class/dmi/id/chassis_type")).toInt(&ok);
  if (!ok) return std::nullopt;
  static const QSet<int> servers{0x11, 0x17, 0x19, 0x1C, 0x1D};
  static const QSet<int> workstations{0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0D,
                                      0x0E, 0x0F, 0x10, 0x18, 0x1E, 0x1F, 0x20, 0x23, 0x24};
  if (servers.contains(type)) return kServer;
  if (workstations.contains(type)) return kWorkstation;
  return std::nullopt;
}

// The ACPI preferred power-management profile: 4, 5 and 7 are server profiles; 1 desktop, 2 mobile,
// 3 workstation and 8 tablet.
std::optional<qint64> powerProfile(const SystemFiles& files) {
  bool ok = false;
  const int profile = files.firstLine(QStringLiteral("/sys/firmware/acpi/pm_profile")).toInt(&ok);
  if (!ok) return std::nullopt;
  if (profile == 4 || profile == 5 || profile == 7) return kServer;
  if (profile == 1 || profile == 2 || profile == 3 || profile == 8) return kWorkstation;
  return std::nullopt;
}

}  // namespace

qint64 productTypeOf(const SystemFiles& files) {
  if (isDomainController(files)) return kDomainController;
  if (const auto type = machineInfoChassis(files)) return *type;
  if (const auto type = firmwareChassis(files)) return *type;
  return powerProfile(files).value_or(0);
}

}  // namespace pimrose
