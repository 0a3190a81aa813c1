#include "platform/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include <QSocketNotifier>

namespace pimrose {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeEnds[2] = {-1, -1};

extern "C" void onExitSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

void setHandler(int signalNumber, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signalNumber, &action, nullptr);
}

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
  if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, &ExitSignals::drain);
  for (const int signalNumber : kSignals) setHandler(signalNumber, onExitSignal);
  installed_ = true;
}

ExitSignals::~ExitSignals() {
  if (!installed_) return;
  for (const int signalNumber : kSignals) setHandler(signalNumber, SIG_DFL);
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void ExitSignals::drain() {
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) Q_EMIT received(byte);
}

}  // namespace pimrose
