// Takes the name org.freedesktop.FileManager1 on the session bus and prints every ShowItems call
// ("ShowItems URI... startup=ID") on its own line, so an end-to-end test sees what a file manager
// would have been asked to show. Prints "ready" once the name is its own.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QObject>
#include <QStringList>

#include <cstdio>

namespace {

class FileManagerStandIn : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

 public Q_SLOTS:
  void ShowItems(const QStringList& uris, const QString& startupId) {
    std::printf("ShowItems %s startup=%s\n", qPrintable(uris.join(u' ')), qPrintable(startupId));
    std::fflush(stdout);
  }
  void ShowFolders(const QStringList& uris, const QString& startupId) {
    std::printf("ShowFolders %s startup=%s\n", qPrintable(uris.join(u' ')), qPrintable(startupId));
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  FileManagerStandIn standIn;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &standIn,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.FileManager1"))) {
    std::fprintf(stderr, "cannot take the file manager's name: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "file_manager_stand_in.moc"
