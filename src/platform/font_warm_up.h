#pragma once

#include <thread>

// Loads the font configuration (the configuration files and the font caches) on a thread of its
// own while the application object and the first window are being made. The first text the
// window lays out needs it, and on the main thread reading it cost some 4 ms of the start-up; on a
// second core it is ready by then. The configuration is fontconfig's shared default one, so Qt
// finds it loaded; fontconfig guards it for use from any thread.
//
// Made at the start of main and ended with it: the destructor waits for the thread, so the process
// never ends while the configuration is half read.

namespace pimrose {

class FontWarmUp {
 public:
  FontWarmUp();
  ~FontWarmUp();
  FontWarmUp(const FontWarmUp&) = delete;
  FontWarmUp& operator=(const FontWarmUp&) = delete;

 private:
  std::thread thread_;
};

}  // namespace pimrose
