#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace pimrose {
namespace {

std::optional<QString> sectionName(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(u'[')) return std::nullopt;
  const qsizetype end = trimmed.indexOf(u']');
  if (end < 0) return std::nullopt;
  return trimmed.mid(1, end - 1).trimmed();
}

// The key and value of a "key=value" line; comments and lines without '=' have none.
std::optional<std::pair<QString, QString>> keyValue(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.startsWith(u';')) return std::nullopt;
  const qsizetype equals = trimmed.indexOf(u'=');
  if (equals <= 0) return std::nullopt;
  return std::pair{trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()};
}

bool sameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value written inside matching double quotes is read without them.
QString unquoted(const QString& value) {
  if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
    return value.mid(1, value.size() - 2);
  return value;
}

struct Location {
  qsizetype sectionLine = -1;  // the "[section]" line
  qsizetype keyLine = -1;      // the "key=value" line
  qsizetype sectionEnd = -1;   // one past the section's last non-blank line
};

Location locate(const QStringList& lines, const QString& section, const QString& key) {
  Location at;
  bool inside = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionName(lines[i])) {
      if (inside) break;  // the first matching section is the one that counts
      inside = sameName(*name, section);
      if (inside) at.sectionLine = i, at.sectionEnd = i + 1;
      continue;
    }
    if (!inside) continue;
    if (!lines[i].trimmed().isEmpty()) at.sectionEnd = i + 1;
    const auto pair = keyValue(lines[i]);
    if (pair && at.keyLine < 0 && sameName(pair->first, key)) at.keyLine = i;
  }
  return at;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::exists() const {
  return QFileInfo(path_).isFile();
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const {
  const QStringList lines = loadLines();
  const Location at = locate(lines, section, key);
  if (at.keyLine < 0) return fallback;
  return unquoted(keyValue(lines[at.keyLine])->second);
}

bool IniFile::write(const QString& section, const QString& key, const QString& value) {
  QStringList lines = loadLines();
  const Location at = locate(lines, section, key);
  const QString entry = key + u'=' + value;
  if (at.keyLine >= 0) {
    lines[at.keyLine] = entry;
  } else if (at.sectionLine >= 0) {
    lines.insert(at.sectionEnd, entry);
  } else {
    lines << u'[' + section + u']' << entry;
  }
  return saveLines(lines);
}

QStringList IniFile::loadLines() const {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.readAll());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QStringList lines = text.split(u'\n');
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

bool IniFile::saveLines(const QStringList& lines) const {
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write((lines.join(u'\n') + u'\n').toUtf8());
  return file.commit();
}

QString defaultSettingsFilePath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QStringLiteral("Pimrose/Pimrose.ini"));
}

}  // namespace pimrose
