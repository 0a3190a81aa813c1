#pragma once

#include <QString>

namespace pimrose {

// One key at a time in an ini file, for callers that need a single value: each call loads the whole
// file (see IniDocument for the rules), and `write` saves it back in one atomic step. Code that
// changes many keys edits one IniDocument and saves it once.
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
  QString path_;
};

// $XDG_CONFIG_HOME/Pimrose/Pimrose.ini (by default ~/.config/Pimrose/Pimrose.ini).
QString defaultSettingsFilePath();

}  // namespace pimrose
