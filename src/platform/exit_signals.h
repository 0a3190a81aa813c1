#pragma once

#include <QObject>

namespace pimrose {

// SIGTERM, SIGINT and SIGHUP ask the program to end. A signal handler may do next to nothing, so it
// only writes the signal number into a pipe; the pipe wakes the UI thread's event loop, which raises
// `received` there, where the program runs its ordinary exit steps (saving the settings first).
// One object per process; while it lives, those three signals no longer end the process by themselves.
class ExitSignals : public QObject {
  Q_OBJECT

 public:
  explicit ExitSignals(QObject* parent = nullptr);
  ~ExitSignals() override;

  // False when the pipe could not be made; the signals then keep their default action.
  bool installed() const { return installed_; }

 Q_SIGNALS:
  void received(int signalNumber);

 private:
  void drain();

  bool installed_ = false;
};

}  // namespace pimrose
