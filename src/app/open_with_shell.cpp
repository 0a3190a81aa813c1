#include "app/open_with_shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QThreadPool>

#include "app/app_log.h"
#include "app/errands.h"
#include "platform/file_url.h"

namespace pimrose {

bool OpenWithShell(const QString& path) {
  if (!pathExists(path)) return false;
  const QUrl url = localFileUrl(path);
  if (!QDesktopServices::openUrl(url)) qCInfo(lcApp) << "no handler started for" << url;
  return true;
}

void openWithShellInBackground(const QString& path) {
  diskWorkPool().start([path] {
    const bool exists = pathExists(path);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [path, exists] {
      if (!exists) {
        qCInfo(lcApp) << "nothing to open at" << path;
        return;
      }
      const QUrl url = localFileUrl(path);
      if (!QDesktopServices::openUrl(url)) qCInfo(lcApp) << "no handler started for" << url;
    });
  });
}

}  // namespace pimrose
