#pragma once

// Resident memory of this process from /proc/self/status, in MiB (0 when it cannot be read), and
// the CPU time its threads have used.

namespace pimrose::bench {

double residentMb();      // VmRSS: now
double peakResidentMb();  // VmHWM: the high-water mark since the process started
double processCpuMs();    // user + system time of every thread, in milliseconds

}  // namespace pimrose::bench
