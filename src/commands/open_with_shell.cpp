#include "commands/open_with_shell.h"

#include <QDesktopServices>

#include "commands/commands_log.h"
#include "commands/errands.h"
#include "platform/file_url.h"

namespace pimrose {

bool OpenWithShell(const QString& path) {
  if (!pathExists(path)) return false;
  const QUrl url = localFileUrl(path);
  if (!QDesktopServices::openUrl(url)) qCInfo(lcCommands) << "no handler started for" << url;
  return true;
}

void openWithShellInBackground(Errands& errands, const QString& path) {
  errands.run([path] { return pathExists(path); },
              [path](bool exists) {
                if (!exists) {
                  qCInfo(lcCommands) << "nothing to open at" << path;
                  return;
                }
                const QUrl url = localFileUrl(path);
                if (!QDesktopServices::openUrl(url)) qCInfo(lcCommands) << "no handler started for" << url;
              });
}

}  // namespace pimrose
