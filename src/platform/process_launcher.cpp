#include "platform/process_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "platform/platform_log.h"

namespace pimrose {
namespace {

class DetachedProcessLauncher final : public ProcessLauncher {
 public:
  bool startDetached(const QString& program, const QStringList& environment) override {
    QProcess process;
    process.setProgram(program);
    QProcessEnvironment env;
    for (const QString& entry : environment) {
      const qsizetype equals = entry.indexOf(u'=');
      if (equals > 0) env.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::currentPath());
    qint64 pid = 0;
    const bool started = process.startDetached(&pid);
    qCInfo(lcPlatform) << "started" << program << (started ? "as" : "failed") << pid;
    return started;
  }
};

}  // namespace

std::unique_ptr<ProcessLauncher> makeProcessLauncher() {
  return std::make_unique<DetachedProcessLauncher>();
}

QString executableFromLinkTarget(const QString& target, const std::function<bool(const QString&)>& exists) {
  const QString deleted = QStringLiteral(" (deleted)");
  if (!target.endsWith(deleted)) return target;
  const QString replaced = target.chopped(deleted.size());
  return exists(replaced) ? replaced : QString();
}

QString ownExecutablePath() {
  const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  if (target.isEmpty()) return {};
  return executableFromLinkTarget(target, [](const QString& path) { return QFileInfo::exists(path); });
}

}  // namespace pimrose
