#include "app/open_picture_command.h"

#include "app/app_log.h"
#include "app/open_with_shell.h"
#include "app/program.h"

namespace pimrose {

void openChosenPictureWithShell(Program& program) {
  const QString path = program.chosenPicture();
  if (path.isEmpty()) return;
  openWithShellInBackground(path);
}

}  // namespace pimrose
