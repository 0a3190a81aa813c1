#include "codecs/probe_counts.h"

namespace pimrose {

ProbeCounts& threadProbeCounts() {
  thread_local ProbeCounts counts;
  return counts;
}

}  // namespace pimrose
