#include "commands/open_picture_command.h"

#include "commands/command_context.h"
#include "commands/commands_log.h"
#include "commands/open_with_shell.h"

namespace pimrose {

void openChosenPictureWithShell(CommandContext& program) {
  const QString path = program.chosenPicture();
  if (path.isEmpty()) return;
  openWithShellInBackground(program.errands(), path);
}

}  // namespace pimrose
