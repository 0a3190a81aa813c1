#include "app/show_in_folder_command.h"

#include "app/app_log.h"
#include "app/errands.h"
#include "app/program.h"
#include "app/show_in_folder.h"
#include "platform/file_url.h"

namespace pimrose {

void showChosenPictureInFolder(Program& program) {
  const QString path = program.chosenPicture();
  if (path.isEmpty() || !program.fileManager()) return;
  program.errands().run([path] { return pathExists(path); },
                        [&program, path](bool exists) {
                          if (!exists) {
                            qCInfo(lcApp) << "nothing to show at" << path;
                            return;
                          }
                          askToShowInFolder(path, *program.fileManager());
                        });
}

}  // namespace pimrose
