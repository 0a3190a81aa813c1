#pragma once

#include <optional>

#include <QByteArray>

#include "system/system_files.h"

namespace pimrose {

// One value of /proc/meminfo in kilobytes ("MemTotal:  16314104 kB"); nullopt when the file or the
// key is missing or the value is not a number.
std::optional<qint64> meminfoKilobytes(const SystemFiles& files, const QByteArray& key);

}  // namespace pimrose
