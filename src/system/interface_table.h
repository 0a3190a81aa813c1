#pragma once

#include <vector>

#include <QString>

#include "system/system_files.h"

namespace pimrose {

// One row of /proc/net/dev: an interface and its byte counters since it came up.
struct InterfaceRow {
  QString name;
  qint64 inOctets = 0;   // received (download)
  qint64 outOctets = 0;  // sent (upload)
};

// The interfaces in the kernel's order. A table that has never been read holds one all-zero row
// while its entry count is 0, so its row count is 1.
struct InterfaceTable {
  int entryCount = 0;
  std::vector<InterfaceRow> rows = std::vector<InterfaceRow>(1);
};

// Fills the table and answers the number of rows read; 0 when /proc/net/dev cannot be read, and
// then the table is left as it was.
int ReadInterfaceTable(const SystemFiles& files, InterfaceTable& table);

struct TrafficDelta {
  qint64 up = 0;
  qint64 down = 0;
};

// Bytes sent and received since the previous call by the first interface, in table order, whose
// counters both grew by more than one byte. Rows are matched by position; when the row count
// changed between two calls, none qualifies. The previous table survives across calls.
class NetworkDeltas {
 public:
  explicit NetworkDeltas(SystemFiles files) : files_(std::move(files)) {}

  TrafficDelta sample();

 private:
  SystemFiles files_;
  InterfaceTable previous_;
};

// "up|down" in decimal, as the status lines take it apart.
QString networkDeltasText(TrafficDelta delta);

}  // namespace pimrose
