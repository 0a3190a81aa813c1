#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

#include "platform/ini_encoding.h"
#include "platform/ini_lines.h"

namespace pimrose {

// One key of a settings file, and one key with the value to give it.
struct IniKey {
  QString section;
  QString key;
};
struct IniEntry {
  QString section;
  QString key;
  QString value;
};

// No settings file above this size is read (or replaced): a settings file is a few kilobytes, and
// a file this large is something else put in its place.
constexpr qint64 kMaxIniFileBytes = 64 * 1024 * 1024;

// A whole ini file held in memory and edited the way private profile files behave:
// - section and key names match without regard to letter case; the first matching section counts;
// - values are read trimmed, and a value inside double quotes without them;
// - a change rewrites only its own line, or adds the key after the last line of its section, or adds
//   the section at the end (never a second copy of one the file has); every other line (comments,
//   unknown keys and sections, blank lines, even lines that are not ini syntax or not text at all) is
//   written back byte for byte with its own line ending;
// - LF, CR LF and CR line ends are all read; lines the document adds take the file's first line
//   ending (LF for a new file); a byte-order mark (UTF-8 or UTF-16) is kept.
//
// Each line is read in the encoding that reads it: a line that is valid UTF-8 as UTF-8, any other as
// code page 936, and a line that is valid UTF-8 but whose names match only when read as code page
// 936 as that. A file that mixes them (a UTF-8 file with one Latin-1 comment, a code page 936 file an
// editor added a UTF-8 line to) thus loses none of its settings. New lines are written in the file's
// encoding (see detectIniEncoding), unless that would read back differently; then in UTF-8.
//
// Lookups and edits take many keys at once and cost one pass over the bytes, however large the file.
class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument fromBytes(QByteArray bytes);
  // A missing file (or a link to a missing one) gives an empty document. A file that cannot be read,
  // is not a regular file (a FIFO, a device, a folder) or is larger than kMaxIniFileBytes gives none,
  // so that a save cannot replace settings it never saw; no such path is waited on or read.
  static std::optional<IniDocument> load(const QString& path);

  QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
  // The values of many keys in one reading: nullopt where a key is missing.
  std::vector<std::optional<QString>> values(const std::vector<IniKey>& keys) const;
  // Sets the key's value. Line breaks in a value become spaces, as a value is one line; a value that
  // starts or ends with blanks or quotes is written inside quotes so that it reads back unchanged.
  void setValue(const QString& section, const QString& key, const QString& value);
  // Sets many keys in one pass; new keys of one section follow each other in the order given, and
  // new sections come in the order their first key is given. A key given twice takes the later value.
  void setValues(const std::vector<IniEntry>& entries);

  IniEncoding encoding() const { return encoding_; }
  const QByteArray& toBytes() const { return bytes_; }
  // One atomic write of the whole file; false when it could not be written (see writeFileAtomically).
  bool save(const QString& path) const;

 private:
  struct Search;
  struct Edit;

  Search search(const std::vector<IniKey>& keys) const;
  QByteArray encodeLine(const QString& text, IniEncoding encoding, bool header) const;
  QByteArray newLines(const Search& found, const std::vector<const IniEntry*>& decided, int section) const;
  void apply(std::vector<Edit> edits);
  IniLines lines() const;
  qsizetype bodyStart() const { return byteOrderMark(encoding_).size(); }
  qsizetype bodyEnd() const;
  bool endsWithoutLineEnd() const;

  QByteArray bytes_;
  IniEncoding encoding_ = IniEncoding::Utf8;
  QByteArray lineEnd_ = "\n";  // in the file's own encoding
};

}  // namespace pimrose
