#pragma once

namespace pimrose {

// Builds the application, its windows and its services, and runs the event loop.
int runApplication(int argc, char* argv[]);

}  // namespace pimrose
