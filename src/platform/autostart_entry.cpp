#include "platform/autostart_entry.h"

#include <QFile>
#include <QFileInfo>

namespace pimrose {

bool autostartEntryExists(const QString& entryFile, const QString& program) {
  QFile file(entryFile);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  const QString wanted = QFileInfo(program).absoluteFilePath();
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (!line.startsWith(QStringLiteral("Exec="))) continue;
    QString command = line.mid(5).trimmed();
    if (command.startsWith(u'"'))
      command = command.mid(1).section(u'"', 0, 0);
    else
      command = command.section(u' ', 0, 0);
    return QFileInfo(command).absoluteFilePath() == wanted;
  }
  return false;
}

}  // namespace pimrose
