#pragma once

#include <optional>

#include <QString>

#include "system/interface_table.h"
#include "system/os_facts.h"
#include "system/processor_load.h"
#include "system/system_files.h"

namespace pimrose {

// The two lines of the taskbar widget.
struct StatusLines {
  QString upper;  // ‹核心：07%  下载：1.5K›
  QString lower;  // ‹内存：42%  上传：3.2K›
};

// Samples processor, memory and network load once per tick and writes them as the widget's two
// lines. Make one for the life of the program; the widget calls `widgetCreated` each time it is
// made and `RefreshStatusLines` from its one-second timer, and nothing runs while it does not exist.
// The memory figures are the program's OS facts (total and free memory); processor and network
// load come from the system files.
//
// Figures that cannot be known show "--" instead of a number: a failed processor sample, and a
// memory share when the total or the free memory reads 0, which is what the facts answer for a
// failed read (the share would otherwise be a division by zero, or "100%" for a read that simply
// failed).
class LoadSampler {
 public:
  // `facts` must outlive the sampler.
  explicit LoadSampler(const OsFacts& facts, const SystemFiles& files = SystemFiles());

  // Reads the total memory once; it is not read again until the widget is made again.
  void widgetCreated();
  StatusLines RefreshStatusLines();

 private:
  std::optional<int> memoryLoad() const;

  const OsFacts& facts_;
  ProcessorLoad processor_;
  NetworkDeltas network_;
  qint64 totalVisibleMemory_ = 0;
};

// "核心：" / "内存：" and the figure with at least two digits and "%"; a figure below 0 is unknown.
QString percentText(const QString& caption, int percent);

}  // namespace pimrose
