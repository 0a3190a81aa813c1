#include "app/copy_picture_command.h"

#include "app/app_log.h"

namespace pimrose {

// Not built yet: the command is in its menu and only says so in the log.
void copyChosenPictureToClipboard(Program& /*program*/) {
  qCInfo(lcApp) << "not available yet: copy to clipboard";
}

}  // namespace pimrose
