#pragma once

#include <optional>

namespace pimrose {

// Waits for `amount` units while the calling thread's event loop keeps serving events, so the window
// stays responsive and other handlers may run inside the wait. Call it on the UI thread.
//
// unit: 0 milliseconds, 1 seconds, 2 minutes, 3 hours; any other value is itself the number of
// milliseconds per unit. With no amount and unit 0 the wait is practically endless (about ten
// thousand years). A zero or negative wait returns at once.
//
// The wait also ends when the application is told to quit, so a pending delay never holds up exit.
// Answers true.
//
// No caller in the program: its timed steps go through a Scheduler and never wait inside a handler;
// kept as part of the system's helpers.
bool PreciseDelay(std::optional<double> amount = std::nullopt, int unit = 0);

}  // namespace pimrose
