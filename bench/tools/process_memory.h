#pragma once

// Resident memory of this process from /proc/self/status, in MiB; 0 when it cannot be read.

namespace pimrose::bench {

double residentMb();      // VmRSS: now
double peakResidentMb();  // VmHWM: the high-water mark since the process started

}  // namespace pimrose::bench
