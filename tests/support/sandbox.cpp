#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pimrose::test {

Sandbox::Sandbox() {
  dir_.setAutoRemove(true);
}

QString Sandbox::write(const QString& relative, const QByteArray& content) const {
  const QString full = filePath(relative);
  QDir().mkpath(QFileInfo(full).absolutePath());
  QFile file(full);
  if (file.open(QIODevice::WriteOnly)) file.write(content);
  return full;
}

QString Sandbox::makeFolder(const QString& relative) const {
  const QString full = filePath(relative);
  QDir().mkpath(full);
  return full;
}

QString testDataDir() {
  return qEnvironmentVariable("PIMROSE_TESTDATA_DIR");
}
QString sourceDir() {
  return qEnvironmentVariable("PIMROSE_SOURCE_DIR");
}

}  // namespace pimrose::test
