#include "app/show_in_folder_command.h"

#include "app/app_log.h"

namespace pimrose {

// Not built yet: the command is in its menu and only says so in the log.
void showChosenPictureInFolder(Program& /*program*/) {
  qCInfo(lcApp) << "not available yet: show in folder";
}

}  // namespace pimrose
