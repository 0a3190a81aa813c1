#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

namespace pimrose {

// The user's file manager, asked to show files selected in their folder.
class FileManager : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~FileManager() override = default;

  // Shows the items (file:// URIs) selected. The request is answered later: when no file manager
  // takes it, the folder of the first item is opened with the desktop's handler instead, so the
  // user always gets a window. `startupId` lets the file manager's window take the focus.
  virtual void showItems(const QStringList& uris, const QString& startupId) = 0;

 Q_SIGNALS:
  // The request has been dealt with: by the file manager, or by opening the folder when
  // `fellBack` is true.
  void handled(bool fellBack);
};

using FolderOpener = std::function<bool(const QUrl& folder)>;

// org.freedesktop.FileManager1.ShowItems on the given bus (the session bus in the program); the
// folder is opened with `openFolder` (QDesktopServices::openUrl in the program) when the call
// fails: no such service, no answer within the timeout, or no bus at all.
std::unique_ptr<FileManager> makeDesktopFileManager(const QDBusConnection& bus, FolderOpener openFolder,
                                                    int timeoutMs = 10000);
std::unique_ptr<FileManager> makeDesktopFileManager();

// The folder that holds the item a file:// URI names, as a URI ending in "/".
QUrl folderOfItem(const QUrl& item);

}  // namespace pimrose
