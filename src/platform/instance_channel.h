#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace pimrose {

// Marks the one running instance of the program for the user and lets a later start call the
// running one up. The first instance claims the name and then hears `showRequested` whenever a
// later start asks; a later start finds the name claimed and sends its request instead.
class InstanceChannel : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~InstanceChannel() override = default;

  // True when another instance already holds `name` (and this one has asked it to show itself);
  // false when this process now holds the name.
  virtual bool isAnotherInstance(const QString& name) = 0;
  // Lets go of the name so that a new instance can take it (exit, restart).
  virtual void release() = 0;
  // Waits, at most `timeoutMs`, until no instance holds `name`; answers whether it was let go in
  // time. A restarted program calls this before `isAnotherInstance`, so the instance it replaces
  // is not taken for a running first instance while it is still on its way out. A channel that
  // cannot see other holders has nothing to wait for.
  virtual bool waitForRelease(const QString& name, int timeoutMs) {
    Q_UNUSED(name);
    Q_UNUSED(timeoutMs);
    return true;
  }

 Q_SIGNALS:
  void showRequested();
};

// The per-user local socket in $XDG_RUNTIME_DIR, check-and-claim serialised by a lock file so two
// simultaneous starts never both become the first; a socket left behind by a crash is replaced.
std::unique_ptr<InstanceChannel> makeLocalInstanceChannel();

}  // namespace pimrose
