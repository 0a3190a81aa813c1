#include "platform/warm_up.h"

#include <fontconfig/fontconfig.h>

namespace pimrose {

WarmUp::WarmUp(std::vector<std::function<void()>> jobs)
    : thread_([jobs = std::move(jobs)] {
        for (const auto& job : jobs) job();
      }) {}

WarmUp::~WarmUp() {
  if (thread_.joinable()) thread_.join();
}

void loadFontConfiguration() {
  FcInit();
}

}  // namespace pimrose
