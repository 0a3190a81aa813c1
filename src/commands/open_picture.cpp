#include "commands/open_picture.h"

namespace pimrose {

OpenAction openPictureAction(const OpenPictureOptions& options, int code) {
  if (!options.doubleClickOpens && code != kSingleClickCode) return OpenAction::None;
  return options.builtInViewer ? OpenAction::Viewer : OpenAction::Shell;
}

void OpenPicture(const QStringList& list, int index, int code, const OpenPictureOptions& options,
                 const OpenPictureTargets& targets) {
  if (index < 0 || index >= list.size()) return;
  switch (openPictureAction(options, code)) {
    case OpenAction::Viewer:
      if (targets.openInViewer) targets.openInViewer(index);
      break;
    case OpenAction::Shell:
      if (targets.openWithShell) targets.openWithShell(list.at(index));
      break;
    case OpenAction::None:
      break;
  }
}

}  // namespace pimrose
