#include "time_texts/uptime_tip.h"

#include <algorithm>
#include <limits>

#include "time_texts/duration_text.h"

namespace pimrose {

QString UptimeTipText(quint64 uptimeMilliseconds) {
  const quint64 seconds = std::min<quint64>(uptimeMilliseconds / 1000, std::numeric_limits<qint32>::max());
  return QStringLiteral("电脑已运行：\r\n") + DurationText(qint32(seconds));
}

}  // namespace pimrose
