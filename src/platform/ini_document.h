#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

#include "platform/ini_encoding.h"

namespace pimrose {

// A whole ini file held in memory and edited the way private profile files behave:
// - section and key names match without regard to letter case; the first matching section counts;
// - values are read trimmed, and a value inside double quotes without them;
// - a change rewrites only its own line, or adds the key after the last line of its section, or adds
//   the section at the end; every other line (comments, unknown keys and sections, blank lines, even
//   lines that are not ini syntax) is written back byte for byte with its own line ending;
// - CR LF and LF line ends are both read; lines the document adds take the file's first line ending
//   (LF for a new file); a UTF-8 byte-order mark is kept; a file that is not UTF-8 is code page 936
//   and stays so.
// Loading reads the file once; `save` writes it back in one atomic step.
class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument fromBytes(QByteArrayView bytes);
  // A missing file gives an empty document; a file that exists but cannot be read gives none, so
  // that a save cannot replace settings it never saw.
  static std::optional<IniDocument> load(const QString& path);

  QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
  // Sets the key's value. Line breaks in a value become spaces, as a value is one line; a value that
  // starts or ends with blanks or quotes is written inside quotes so that it reads back unchanged.
  void setValue(const QString& section, const QString& key, const QString& value);

  IniEncoding encoding() const { return encoding_; }
  QByteArray toBytes() const;
  // One atomic write of the whole file; false when it could not be written.
  bool save(const QString& path) const;

 private:
  struct Line {
    QByteArray bytes;  // without the line end
    QByteArray end;    // "\r\n", "\n", or empty for a last line without one
  };
  struct Location {
    qsizetype section = -1;     // the "[section]" line
    qsizetype key = -1;         // the "key=value" line
    qsizetype sectionEnd = -1;  // one past the section's last non-blank line
  };

  QString text(qsizetype line) const;
  Location locate(const QString& section, const QString& key) const;
  void insertLine(qsizetype at, const QString& text);
  Line makeLine(const QString& text) const;

  std::vector<Line> lines_;
  IniEncoding encoding_ = IniEncoding::Utf8;
  QByteArray lineEnd_ = "\n";
};

}  // namespace pimrose
