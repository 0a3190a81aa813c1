#pragma once

#include <QObject>
#include <QStringList>

namespace pimrose::test {

// Answers org.freedesktop.FileManager1.ShowItems on a test bus and remembers what it was asked.
class FileManagerStandIn : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
 public:
  QList<QStringList> shown;
  QStringList startupIds;

 public Q_SLOTS:
  void ShowItems(const QStringList& uris, const QString& startupId) {
    shown.append(uris);
    startupIds.append(startupId);
  }
};

}  // namespace pimrose::test
