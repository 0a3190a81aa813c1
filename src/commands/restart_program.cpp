#include "commands/restart_program.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

#include "commands/commands_log.h"
#include "platform/instance_channel.h"
#include "platform/process_launcher.h"

namespace pimrose {
namespace {

void run(const std::function<void()>& step) {
  if (step) step();
}

}  // namespace

QStringList restartEnvironment(const QStringList& environment, qint64 pid) {
  const QString prefix = QString::fromLatin1(kRestartMarker) + u'=';
  QStringList result;
  for (const QString& entry : environment)
    if (!entry.startsWith(prefix)) result.append(entry);
  result.append(prefix + QString::number(pid));
  return result;
}

bool RestartProgram(const RestartSteps& steps, ProcessLauncher& launcher, const QString& executable,
                    const QStringList& environment) {
  if (executable.isEmpty()) {
    qCWarning(lcCommands) << "restart: own executable not found, staying";
    return false;
  }
  run(steps.saveSettings);
  const QStringList env = restartEnvironment(environment, QCoreApplication::applicationPid());
  if (!launcher.startDetached(executable, env)) {
    qCWarning(lcCommands) << "restart: could not start" << executable << ", staying";
    return false;
  }
  run(steps.removeTrayIcon);
  run(steps.releaseHotkey);
  run(steps.releaseInstanceChannel);
  if (steps.endProcess) steps.endProcess(0);
  return true;
}

bool RestartProgram(const RestartSteps& steps, ProcessLauncher& launcher) {
  return RestartProgram(steps, launcher, ownExecutablePath(),
                        QProcessEnvironment::systemEnvironment().toStringList());
}

bool awaitRestartedPredecessor(InstanceChannel& channel, const QString& name, int timeoutMs) {
  if (!qEnvironmentVariableIsSet(kRestartMarker)) return false;
  const QByteArray predecessor = qgetenv(kRestartMarker);
  qunsetenv(kRestartMarker);
  const bool released = channel.waitForRelease(name, timeoutMs);
  qCInfo(lcCommands) << "restarted from" << predecessor
                     << (released ? "which let go" : "which still holds the name");
  return released;
}

}  // namespace pimrose
