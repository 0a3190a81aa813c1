#include "app/show_in_folder_command.h"

#include "app/app_log.h"
#include "app/program.h"
#include "app/show_in_folder.h"

namespace pimrose {

void showChosenPictureInFolder(Program& program) {
  const QString path = program.chosenPicture();
  FileManager* fileManager = program.fileManager();
  if (path.isEmpty() || !fileManager) return;
  if (!ShowInFolder(path, *fileManager)) qCInfo(lcApp) << "nothing to show at" << path;
}

}  // namespace pimrose
