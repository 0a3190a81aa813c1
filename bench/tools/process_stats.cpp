#include "tools/process_stats.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pimrose::bench {
namespace {

double statusFieldMb(const char* field) {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kb = 0;
  const size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
      kb = std::strtod(line + length + 1, nullptr);
      break;
    }
  std::fclose(status);
  return kb / 1024.0;
}

}  // namespace

double residentMb() {
  return statusFieldMb("VmRSS");
}

double peakResidentMb() {
  return statusFieldMb("VmHWM");
}

double processCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

}  // namespace pimrose::bench
