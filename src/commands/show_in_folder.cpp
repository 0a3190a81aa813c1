#include "commands/show_in_folder.h"

#include <QCoreApplication>
#include <QSysInfo>

#include "platform/file_manager.h"
#include "platform/file_url.h"

namespace pimrose {

QString makeStartupId(qint64 pid, const QString& host, int request, unsigned userTime) {
  QString id = QStringLiteral("pimrose-%1-%2-ShowItems-%3").arg(pid).arg(host).arg(request);
  // Without a time the window manager decides by itself whether the new window may take the focus.
  if (userTime != 0) id += QStringLiteral("_TIME%1").arg(userTime);
  return id;
}

bool ShowInFolder(const QString& path, FileManager& fileManager, unsigned userTime) {
  if (!pathExists(path)) return false;
  askToShowInFolder(path, fileManager, userTime);
  return true;
}

void askToShowInFolder(const QString& path, FileManager& fileManager, unsigned userTime) {
  static int request = 0;
  const QString id =
      makeStartupId(QCoreApplication::applicationPid(), QSysInfo::machineHostName(), ++request, userTime);
  fileManager.showItems({QString::fromLatin1(localFileUrl(path).toEncoded())}, id);
}

}  // namespace pimrose
