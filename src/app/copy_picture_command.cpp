#include "app/copy_picture_command.h"

#include <QGuiApplication>

#include "app/copy_picture.h"
#include "app/errands.h"
#include "app/program.h"

namespace pimrose {

void copyChosenPictureToClipboard(Program& program) {
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
