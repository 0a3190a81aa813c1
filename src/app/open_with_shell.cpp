#include "app/open_with_shell.h"

#include <QDesktopServices>

#include "app/app_log.h"
#include "platform/file_url.h"

namespace pimrose {

bool OpenWithShell(const QString& path) {
  if (!pathExists(path)) return false;
  const QUrl url = localFileUrl(path);
  if (!QDesktopServices::openUrl(url)) qCInfo(lcApp) << "no handler started for" << url;
  return true;
}

}  // namespace pimrose
