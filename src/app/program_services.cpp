#include "app/program_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <memory>

#include "platform/ini_file.h"

namespace pimrose {

ProgramServices systemServices() {
  ProgramServices services;
  services.bootClock = systemBootClock();
  services.sessionClock = systemSessionClock();
  services.makeInstanceChannel = makeLocalInstanceChannel;
  services.settingsFile = defaultSettingsFilePath();
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  services.autostartFile = QDir(config).filePath(QStringLiteral("autostart/Pimrose.desktop"));
  // Seeded from the boot clock, as the greeting should differ from one start to the next.
  auto generator = std::make_shared<QRandomGenerator>(static_cast<quint32>(services.bootClock()));
  services.drawLine = [generator](qsizetype count) {
    return static_cast<qsizetype>(generator->bounded(static_cast<quint32>(count))) + 1;
  };
  services.endProcess = [](int exitCode) { QCoreApplication::exit(exitCode); };
  services.makeFileManager = [] { return makeDesktopFileManager(); };
  services.makeProcessLauncher = makeProcessLauncher;
  services.makeHotkey = makeGlobalHotkey;
  services.programFile = QCoreApplication::applicationFilePath();
  return services;
}

}  // namespace pimrose
