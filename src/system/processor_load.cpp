#include "system/processor_load.h"

#include <optional>

#include <QList>

namespace pimrose {
namespace {

struct ProcessorTimes {
  double idle = 0;
  double total = 0;
};

// The first line of /proc/stat: "cpu  user nice system idle iowait irq softirq steal guest guest_nice".
// Waiting for input or output is idle time; guest time is already inside user and nice.
std::optional<ProcessorTimes> parseProcessorTimes(const QByteArray& stat) {
  const QByteArray line = stat.left(stat.indexOf('\n'));
  const QList<QByteArray> fields = line.simplified().split(' ');
  if (fields.size() < 5 || fields[0] != "cpu") return std::nullopt;
  ProcessorTimes times;
  for (qsizetype i = 1; i < std::min<qsizetype>(fields.size(), 9); ++i) {
    bool ok = false;
    const double value = double(fields[i].toULongLong(&ok));
    if (!ok) return std::nullopt;
    times.total += value;
    if (i == 4 || i == 5) times.idle += value;
  }
  return times;
}

// Rounded half up, then kept within 1 and 100 (the figure never shows 0). Clamping before the
// conversion keeps odd counters from overflowing the integer.
int roundedLoad(double load) {
  const double rounded = load + 0.5;
  if (rounded < 1) return 1;
  if (rounded >= 100) return 100;
  return int(rounded);
}

}  // namespace

int ProcessorLoad::sample() {
  const std::optional<QByteArray> stat = files_.read(QStringLiteral("/proc/stat"));
  const std::optional<ProcessorTimes> now = stat ? parseProcessorTimes(*stat) : std::nullopt;
  if (!now) return -1;
  const double elapsed = now->total - previousTotal_;
  const bool measured = hasPrevious_ && elapsed > 0;
  if (measured) {
    const double idleShare = (now->idle - previousIdle_) / elapsed * 100;
    lastLoad_ = roundedLoad(100 - idleShare);
  } else if (!hasPrevious_) {
    // Nothing to compare the first sample with: it shows the top of the scale.
    lastLoad_ = 100;
  }
  // No time passed (or the counters went back when a processor went offline): the figure stays.
  previousIdle_ = now->idle;
  previousTotal_ = now->total;
  hasPrevious_ = true;
  return lastLoad_;
}

}  // namespace pimrose
