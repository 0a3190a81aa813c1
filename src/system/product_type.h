#pragma once

#include <QtGlobal>

#include "system/system_files.h"

namespace pimrose {

// The product type fact: what the machine serves as, 1 a workstation, 2 a domain controller, 3 a
// server; 0 (the value of a failed read) where nothing tells. A domain controller is a Samba server
// set up as one ("server role" in /etc/samba/smb.conf). Server or workstation is what the machine's
// chassis says: its name in /etc/machine-info (CHASSIS=, as set by hostnamectl), else the chassis
// type its firmware reports (/sys/class/dmi/id/chassis_type), else the firmware's power-management
// profile (/sys/firmware/acpi/pm_profile). A virtual machine or container says neither.
qint64 productTypeOf(const SystemFiles& files);

}  // namespace pimrose
