#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pimrose {

// An ini file read and written line by line the way private profile files behave: section and key
// names match without regard to ASCII case, values are trimmed, a write changes only its own line (or
// adds it at the end of its section, or adds the section at the end of the file) and keeps every
// other line, comments and unknown keys included. Saving goes through a temporary file that is
// renamed into place, so a crash never leaves half a file behind.
class IniFile {
 public:
  explicit IniFile(QString path);

  const QString& path() const { return path_; }
  bool exists() const;

  // The value of `key` in `section`, or `fallback` when either is missing or the file unreadable.
  QString read(const QString& section, const QString& key, const QString& fallback = {}) const;
  // Sets `key` in `section` to `value` and saves the file; false when the file could not be written.
  bool write(const QString& section, const QString& key, const QString& value);

 private:
  QStringList loadLines() const;
  bool saveLines(const QStringList& lines) const;

  QString path_;
};

// $XDG_CONFIG_HOME/Pimrose/Pimrose.ini (by default ~/.config/Pimrose/Pimrose.ini).
QString defaultSettingsFilePath();

}  // namespace pimrose
