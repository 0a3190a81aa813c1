#include "system/load_sampler.h"

#include "text/byte_count_text.h"

namespace pimrose {

LoadSampler::LoadSampler(const OsFacts& facts, const SystemFiles& files)
    : facts_(facts), processor_(files), network_(files) {}

void LoadSampler::widgetCreated() {
  totalVisibleMemory_ = facts_.TotalVisibleMemorySize();
}

// The free memory is what a new program could use without swapping (see OsFacts), which is what
// "in use" is measured against.
std::optional<int> LoadSampler::memoryLoad() const {
  if (totalVisibleMemory_ <= 0) return std::nullopt;
  const qint64 free = facts_.FreePhysicalMemory();
  if (free <= 0) return std::nullopt;
  const double share = double(totalVisibleMemory_ - free) / double(totalVisibleMemory_) * 100;
  return share <= 0 ? 0 : share >= 100 ? 100 : int(share);
}

StatusLines LoadSampler::RefreshStatusLines() {
  const int cpu = processor_.sample();
  const int mem = memoryLoad().value_or(-1);
  const TrafficDelta traffic = network_.sample();
  return {
      percentText(QStringLiteral("核心："), cpu) + QStringLiteral("  下载：") + ByteCountText(traffic.down),
      percentText(QStringLiteral("内存："), mem) + QStringLiteral("  上传：") + ByteCountText(traffic.up)};
}

QString percentText(const QString& caption, int percent) {
  if (percent < 0) return caption + QStringLiteral("--%");
  return caption + (percent < 10 ? QStringLiteral("0") : QString()) + QString::number(percent) +
         QLatin1Char('%');
}

}  // namespace pimrose
