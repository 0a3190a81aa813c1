#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace pimrose {

// Starts programs that live on by themselves: not waited for, not ended with this process.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts `program` (an absolute path) without arguments, with exactly `environment`
  // ("NAME=value" entries) and this process's working folder; false when it could not be started.
  virtual bool startDetached(const QString& program, const QStringList& environment) = 0;
};

std::unique_ptr<ProcessLauncher> makeProcessLauncher();

// The absolute path of this process's own executable, from the /proc/self/exe link; empty when it
// cannot be read.
QString ownExecutablePath();

// The program to start from the target of the /proc/self/exe link. When the executable was
// replaced while running (an upgrade), the kernel appends " (deleted)": the path without that
// suffix is taken when something exists there, so the restart starts the new version.
QString executableFromLinkTarget(const QString& target, const std::function<bool(const QString&)>& exists);

}  // namespace pimrose
