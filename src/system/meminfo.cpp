#include "system/meminfo.h"

#include <QList>

namespace pimrose {

std::optional<qint64> meminfoKilobytes(const SystemFiles& files, const QByteArray& key) {
  const std::optional<QByteArray> content = files.read(QStringLiteral("/proc/meminfo"));
  if (!content) return std::nullopt;
  for (const QByteArray& line : content->split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon < 0 || line.left(colon) != key) continue;
    const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
    bool ok = false;
    const qint64 value = fields.value(0).toLongLong(&ok);
    return ok && value >= 0 ? std::optional<qint64>(value) : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace pimrose
