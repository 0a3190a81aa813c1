#include "app/restart_command.h"

#include "app/app_log.h"

namespace pimrose {

// Not built yet: the command is in its menu and only says so in the log.
void RestartProgram(Program& /*program*/) {
  qCInfo(lcApp) << "not available yet: restart";
}

}  // namespace pimrose
