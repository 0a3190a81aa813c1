#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace pimrose {

class InstanceChannel;
class ProcessLauncher;

// What the running program lets go of when it restarts itself. Empty steps are skipped.
struct RestartSteps {
  std::function<void()> saveSettings;
  std::function<void()> removeTrayIcon;
  std::function<void()> releaseHotkey;  // the key grab would refuse the new instance's registration
  std::function<void()> releaseInstanceChannel;
  std::function<void(int exitCode)> endProcess;  // leaves the event loop; the process then ends
};

// Set in the new instance's environment by a restart, with the old instance's process id.
inline constexpr char kRestartMarker[] = "PIMROSE_RESTARTED_FROM";

// Starts this program again and ends this instance, killing nothing.
//
// The settings are saved first; then our own executable (by absolute path) is started detached
// with this process's environment plus the restart marker; only when it has started are the tray
// icon, the hotkey and the instance name let go and the event loop left with 0. The new instance
// waits for the name (see awaitRestartedPredecessor), so starting it before letting go is safe,
// and a start that fails leaves this instance running as it was: the answer is then false.
bool RestartProgram(const RestartSteps& steps, ProcessLauncher& launcher, const QString& executable,
                    const QStringList& environment);
// The same with the real executable (/proc/self/exe) and environment.
bool RestartProgram(const RestartSteps& steps, ProcessLauncher& launcher);

// The environment of the new instance: `environment` with the marker set to `pid` (replacing one
// inherited from an earlier restart).
QStringList restartEnvironment(const QStringList& environment, qint64 pid);

// Called at start before the single-instance check. When this process was started by a restart,
// waits (at most `timeoutMs`) until the old instance has let go of `name`; the marker is removed
// from the environment either way, so programs started from here do not inherit it.
// Answers whether it waited and the name was let go in time.
bool awaitRestartedPredecessor(InstanceChannel& channel, const QString& name, int timeoutMs = 5000);

}  // namespace pimrose
