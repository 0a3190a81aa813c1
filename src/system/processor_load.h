#pragma once

#include "system/system_files.h"

namespace pimrose {

// The share of processor time spent working between two samples of /proc/stat, as a whole
// percentage from 1 to 100. The stores live as long as the object: across ticks and across
// re-creations of the widget that shows the figure.
class ProcessorLoad {
 public:
  explicit ProcessorLoad(SystemFiles files) : files_(std::move(files)) {}

  // 1 to 100 after a good sample; -1 when /proc/stat cannot be read or has no "cpu" line, and then
  // the stores keep the last good sample, so the next one measures from there.
  int sample();

 private:
  SystemFiles files_;
  // Jiffies summed over all processors at the last good sample; none before the first.
  double previousIdle_ = 0;
  double previousTotal_ = 0;
  bool hasPrevious_ = false;
  int lastLoad_ = 100;
};

}  // namespace pimrose
