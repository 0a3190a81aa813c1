// One start of the program as far as the instance channel goes, in a process of its own: waits until
// the file named by its argument exists (so that every claimer asks at the same moment), then claims
// the name "Pimrose" in $XDG_RUNTIME_DIR. A later start prints "handed over" and ends; the first one
// prints "first", then "shown N" for every show request it answers, and ends when its input closes.
#include <cstdio>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <unistd.h>

#include "platform/instance_channel.h"

namespace {

void say(const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString startSignal = QString::fromLocal8Bit(argv[1]);
  say("ready\n");
  while (!QFileInfo::exists(startSignal)) QThread::usleep(200);

  const auto channel = pimrose::makeLocalInstanceChannel();
  if (channel->isAnotherInstance(QStringLiteral("Pimrose"))) {
    say("handed over\n");
    return 0;
  }
  say("first\n");
  int shown = 0;
  QObject::connect(channel.get(), &pimrose::InstanceChannel::showRequested, [&] {
    std::printf("shown %d\n", ++shown);
    std::fflush(stdout);
  });
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char byte;
    if (read(STDIN_FILENO, &byte, 1) <= 0) app.quit();  // the test closed our input
  });
  return app.exec();
}
