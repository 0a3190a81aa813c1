#include "commands/copy_picture_command.h"

#include <QGuiApplication>

#include "commands/command_context.h"
#include "commands/copy_picture.h"
#include "commands/errands.h"

namespace pimrose {

void copyChosenPictureToClipboard(CommandContext& program) {
  const QString path = program.chosenPicture();
  if (path.isEmpty()) return;
  // One line for every copy the program makes: the clipboard ends with the picture asked for last.
  static Errands::Line copies;
  program.errands().runOnLine(
      copies, [path] { return readClipboardPicture(path); },
      [&program](const ClipboardPicture& read) {
        putPictureOnClipboard(read, *QGuiApplication::clipboard(), program.notices());
      });
}

}  // namespace pimrose
