#pragma once

#include <functional>
#include <thread>
#include <vector>

// Work the first window will need, done on a thread of its own while the main thread makes the
// application object (which waits mostly on the display server): on a machine with a second core it
// is ready by the time it is asked for. Each job must be safe to run beside the main thread, and
// whatever it prepares must be taken from a guarded place.
//
// Made at the start of main and ended with it: the destructor waits for the jobs, so the process
// never ends while one is half done.

namespace pimrose {

class WarmUp {
 public:
  explicit WarmUp(std::vector<std::function<void()>> jobs);
  ~WarmUp();
  WarmUp(const WarmUp&) = delete;
  WarmUp& operator=(const WarmUp&) = delete;

 private:
  std::thread thread_;
};

// Reads the font configuration (its files and the font caches) into fontconfig's shared default
// configuration, which Qt then finds loaded; fontconfig guards it for use from any thread. The first
// text a window lays out needs it, and on the main thread it cost some 4 ms of the start-up.
void loadFontConfiguration();

}  // namespace pimrose
