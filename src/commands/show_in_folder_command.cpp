#include "commands/show_in_folder_command.h"

#include "commands/command_context.h"
#include "commands/commands_log.h"
#include "commands/errands.h"
#include "commands/show_in_folder.h"
#include "platform/file_url.h"

namespace pimrose {

void showChosenPictureInFolder(CommandContext& program) {
  const QString path = program.chosenPicture();
  if (path.isEmpty() || !program.fileManager()) return;
  program.errands().run([path] { return pathExists(path); },
                        [&program, path](bool exists) {
                          if (!exists) {
                            qCInfo(lcCommands) << "nothing to show at" << path;
                            return;
                          }
                          askToShowInFolder(path, *program.fileManager());
                        });
}

}  // namespace pimrose
