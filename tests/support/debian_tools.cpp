#include "support/debian_tools.h"

#include <QProcess>
#include <QStandardPaths>

namespace pimrose::test {

bool runTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, arguments);
  return process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

QString missingTool(std::initializer_list<std::pair<const char*, const char*>> tools) {
  for (const auto& [program, package] : tools)
    if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
      return QStringLiteral("%1 is not installed (Debian package %2)")
          .arg(QString::fromLatin1(program), QString::fromLatin1(package));
  return {};
}

}  // namespace pimrose::test
