#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>

#include "platform/file_manager.h"
#include "platform/platform_log.h"

namespace pimrose {
namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString kInterface = QStringLiteral("org.freedesktop.FileManager1");

class DesktopFileManager final : public FileManager {
 public:
  DesktopFileManager(const QDBusConnection& bus, FolderOpener openFolder, int timeoutMs)
      : bus_(bus), openFolder_(std::move(openFolder)), timeoutMs_(timeoutMs) {}

  void showItems(const QStringList& uris, const QString& startupId) override {
    if (uris.isEmpty()) return;
    if (!bus_.isConnected()) {
      fallBack(uris, QStringLiteral("no session bus"));
      return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ShowItems"));
    call << uris << startupId;
    // Asynchronous: starting a file manager by D-Bus activation can take seconds, and the window
    // must not freeze meanwhile.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, uris](QDBusPendingCallWatcher* done) {
      done->deleteLater();
      if (done->isError())
        fallBack(uris, done->error().name());
      else
        Q_EMIT handled(false);
    });
  }

 private:
  void fallBack(const QStringList& uris, const QString& reason) {
    const QUrl folder = folderOfItem(QUrl(uris.first()));
    qCInfo(lcPlatform) << "file manager did not show the items:" << reason << "- opening" << folder;
    if (openFolder_) openFolder_(folder);
    Q_EMIT handled(true);
  }

  QDBusConnection bus_;
  FolderOpener openFolder_;
  int timeoutMs_;
};

}  // namespace

QUrl folderOfItem(const QUrl& item) {
  return item.adjusted(QUrl::RemoveFilename | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

std::unique_ptr<FileManager> makeDesktopFileManager(const QDBusConnection& bus, FolderOpener openFolder,
                                                    int timeoutMs) {
  return std::make_unique<DesktopFileManager>(bus, std::move(openFolder), timeoutMs);
}

std::unique_ptr<FileManager> makeDesktopFileManager() {
  return makeDesktopFileManager(QDBusConnection::sessionBus(),
                                [](const QUrl& folder) { return QDesktopServices::openUrl(folder); });
}

}  // namespace pimrose
