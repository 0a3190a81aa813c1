#include "platform/boot_clock.h"

#include <ctime>

namespace pimrose {

BootClock systemBootClock() {
  return [] {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return std::uint64_t{0};
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  };
}

}  // namespace pimrose
