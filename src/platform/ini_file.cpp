#include "platform/ini_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/ini_document.h"

namespace pimrose {

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::exists() const {
  return QFileInfo(path_).isFile();
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const {
  const std::optional<IniDocument> document = IniDocument::load(path_);
  return document ? document->value(section, key, fallback) : fallback;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value) {
  std::optional<IniDocument> document = IniDocument::load(path_);
  if (!document) return false;
  document->setValue(section, key, value);
  return document->save(path_);
}

QString defaultSettingsFilePath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QStringLiteral("Pimrose/Pimrose.ini"));
}

}  // namespace pimrose
