#include "platform/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace pimrose {

FontWarmUp::FontWarmUp() : thread_([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace pimrose
