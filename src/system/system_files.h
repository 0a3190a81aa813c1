#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pimrose {

// The system's own files (/proc, /etc) read below a root folder: "/" on the running machine, a
// fixture tree in tests. Reads are plain file reads; nothing here waits on anything else.
class SystemFiles {
 public:
  explicit SystemFiles(QString root = QStringLiteral("/"));

  // The whole file, or nullopt when it cannot be read. Files under /proc report no size, so they
  // are read to their end; a file larger than the cap is cut at the cap.
  std::optional<QByteArray> read(const QString& path) const;
  // The first line without its line end and surrounding white space; empty when unreadable.
  QString firstLine(const QString& path) const;
  // The target of a symbolic link, as written in the link; empty when it is none.
  QString linkTarget(const QString& path) const;
  // The names in a folder; empty when it cannot be listed.
  QStringList entries(const QString& path) const;

  const QString& root() const { return root_; }

 private:
  QString resolve(const QString& path) const;

  QString root_;
};

}  // namespace pimrose
