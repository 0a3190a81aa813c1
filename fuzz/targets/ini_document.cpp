// A settings file read from raw bytes, looked up, edited and written back. The bytes up to the first
// NUL are the file (in any encoding: UTF-8, code page 936, UTF-16 with a byte-order mark, mixed or
// damaged; any line ends); after it come a section, a key and a value separated by \x01, which are
// set in the document and must read back unchanged, before and after a round trip through bytes.
#include <QList>
#include <QString>

#include <optional>
#include <vector>

#include "fuzz_input.h"
#include "platform/ini_document.h"
#include "platform/ini_encoding.h"

namespace {

using pimrose::IniDocument;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

// Names a document can hold as written: one line, no blanks around them, no character that would
// make the line a comment, a section header or split it at a different '='.
bool plainKey(const QString& key) {
  return !key.isEmpty() && key == key.trimmed() && !key.contains(u'=') && !key.contains(u'\r') &&
         !key.contains(u'\n') && !key.startsWith(u';') && !key.startsWith(u'[');
}
bool plainSection(const QString& section) {
  return !section.isEmpty() && section == section.trimmed() && !section.contains(u']') &&
         !section.contains(u'\r') && !section.contains(u'\n');
}

// Looks up the names the file itself holds, all at once and one by one, so lookups meet real
// sections and keys; both ways must agree.
void lookUpOwnNames(const IniDocument& document, QByteArrayView file) {
  QString text = pimrose::decodeIniText(file, document.encoding());
  text.replace(u'\r', u'\n');
  QString section;
  std::vector<pimrose::IniKey> keys;
  for (const QString& line : text.split(u'\n')) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'['))
      section = trimmed.mid(1, trimmed.indexOf(u']') - 1);
    else if (const qsizetype equals = trimmed.indexOf(u'='); equals > 0)
      keys.push_back({section, trimmed.left(equals)});
    if (keys.size() == 16) break;  // each single lookup reads the whole file; keep an input's cost linear
  }
  const std::vector<std::optional<QString>> values = document.values(keys);
  for (size_t i = 0; i < keys.size(); ++i)
    check(document.value(keys[i].section, keys[i].key, QStringLiteral("\x01")) ==
          values[i].value_or(QStringLiteral("\x01")));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView input = pimrose::fuzz::bytesOf(data, size);
  const qsizetype nul = input.indexOf('\0');
  const QByteArrayView file = nul < 0 ? input : input.first(nul);
  IniDocument document = IniDocument::fromBytes(file.toByteArray());
  check(document.toBytes() == file);  // an untouched file is written back byte for byte
  lookUpOwnNames(document, file);
  if (nul < 0) return 0;

  const QList<QString> fields = QString::fromUtf8(input.sliced(nul + 1)).split(u'\x01');
  if (fields.size() != 3 || !plainSection(fields[0]) || !plainKey(fields[1])) return 0;
  const QString& section = fields[0];
  const QString& key = fields[1];
  QString expected = fields[2];
  expected.replace(u'\r', u' ').replace(u'\n', u' ');  // a value is one line

  document.setValue(section, key, fields[2]);
  check(document.value(section, key) == expected);
  const QByteArray written = document.toBytes();
  const IniDocument reread = IniDocument::fromBytes(written);
  check(reread.value(section, key) == expected);  // a line the document writes reads back as written
  check(reread.toBytes() == written);
  return 0;
}
