#pragma once

#include <cstdint>
#include <functional>

namespace pimrose {

// Milliseconds since the system started (suspend included), as the up-time rules count it.
using BootClock = std::function<std::uint64_t()>;

BootClock systemBootClock();

}  // namespace pimrose
