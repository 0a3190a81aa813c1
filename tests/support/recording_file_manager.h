#pragma once

#include <QList>
#include <QStringList>

#include "platform/file_manager.h"

namespace pimrose::test {

// Stands in for the desktop's file manager: records every set of URIs it is asked to show.
class RecordingFileManager : public FileManager {
 public:
  explicit RecordingFileManager(QList<QStringList>* shown) : shown_(shown) {}
  void showItems(const QStringList& uris, const QString&) override { shown_->append(uris); }

 private:
  QList<QStringList>* shown_;
};

}  // namespace pimrose::test
