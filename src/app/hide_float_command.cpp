#include "app/hide_float_command.h"

#include "app/app_log.h"

namespace pimrose {

// Not built yet: the command is in its menu and only says so in the log.
void hideFloatingIcon(Program& /*program*/) {
  qCInfo(lcApp) << "not available yet: hide the floating icon";
}

}  // namespace pimrose
