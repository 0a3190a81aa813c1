#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace pimrose::test {

// A private temporary folder for one test; removed with everything in it when the test ends.
class Sandbox {
 public:
  Sandbox();

  QString path() const { return dir_.path(); }
  QString filePath(const QString& relative) const { return dir_.filePath(relative); }

  // Writes a file (creating its folders) and returns its absolute path.
  QString write(const QString& relative, const QByteArray& content = {}) const;
  QString makeFolder(const QString& relative) const;

 private:
  QTemporaryDir dir_;
};

// Folder of the shared test data (PngSuite and friends), from PIMROSE_TESTDATA_DIR.
QString testDataDir();
// Root of the source tree, from PIMROSE_SOURCE_DIR.
QString sourceDir();

}  // namespace pimrose::test
