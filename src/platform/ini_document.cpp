#include "platform/ini_document.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

namespace pimrose {
namespace {

std::optional<QString> sectionName(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(u'[')) return std::nullopt;
  const qsizetype end = trimmed.indexOf(u']');
  if (end < 0) return std::nullopt;
  return trimmed.mid(1, end - 1).trimmed();
}

// The key and value of a "key=value" line; comments and lines without a key have none.
std::optional<std::pair<QString, QString>> keyValue(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.startsWith(u';')) return std::nullopt;
  const qsizetype equals = trimmed.indexOf(u'=');
  if (equals <= 0) return std::nullopt;
  return std::pair{trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed()};
}

std::optional<QString> nameOf(const QString& line, bool header) {
  if (header) return sectionName(line);
  const auto pair = keyValue(line);
  return pair ? std::optional(pair->first) : std::nullopt;
}

QString folded(const QString& name) {
  return name.toCaseFolded();
}

QString unquoted(const QString& value) {
  if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
    return value.mid(1, value.size() - 2);
  return value;
}

QString writtenValue(QString value) {
  value.replace(u'\r', u' ').replace(u'\n', u' ');
  const bool needsQuotes =
      value != value.trimmed() || (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'));
  return needsQuotes ? u'"' + value + u'"' : value;
}

bool isBlankByte(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f';
}

// The texts one line of a file reads as, in the order they are tried, decoded when first asked for.
// A line of one-byte text that is valid UTF-8 is tried as UTF-8 first and then as code page 936
// (whose Chinese lines are now and then valid UTF-8 by chance); any other line as code page 936.
class Readings {
 public:
  Readings(QByteArrayView bytes, IniEncoding file) : bytes_(bytes) {
    if (isUtf16(file) || isAscii(bytes))
      add(isUtf16(file) ? file : IniEncoding::Utf8);
    else if (isValidUtf8(bytes))
      add(IniEncoding::Utf8), add(IniEncoding::ChineseAnsi);
    else
      add(IniEncoding::ChineseAnsi);
  }

  int count() const { return count_; }
  IniEncoding encoding(int i) const { return encodings_[static_cast<size_t>(i)]; }
  const QString& text(int i) {
    auto& text = texts_[static_cast<size_t>(i)];
    if (!text) text = decodeIniText(bytes_, encoding(i));
    return *text;
  }

 private:
  void add(IniEncoding encoding) { encodings_[static_cast<size_t>(count_++)] = encoding; }

  QByteArrayView bytes_;
  std::array<IniEncoding, 2> encodings_{};
  std::array<std::optional<QString>, 2> texts_;
  int count_ = 0;
};

// Whether a line of one-byte text can be a section header, without decoding the many lines that
// plainly are not: after ASCII blanks a header shows '['. A wider space may stand before it, and
// every one starts with one of a few bytes: C2, E1, E2 or E3 in UTF-8 (U+0085, U+00A0, U+1680,
// U+2000 to U+205F, U+3000), A1 or 81 in code page 936 and GB 18030 (U+3000 is A1 A1, the others
// are four-byte sequences from 81). Only such lines are read to tell.
bool mayBeHeader(QByteArrayView bytes) {
  for (const char byte : bytes) {
    if (isBlankByte(byte)) continue;
    switch (static_cast<unsigned char>(byte)) {
      case '[':
      case 0xC2:
      case 0xE1:
      case 0xE2:
      case 0xE3:
      case 0xA1:
      case 0x81:
        return true;
      default:
        return false;
    }
  }
  return false;
}

bool isBlank(QByteArrayView bytes, Readings& readings) {
  if (std::all_of(bytes.begin(), bytes.end(), isBlankByte)) return true;
  if (isAscii(bytes)) return false;
  return readings.text(0).trimmed().isEmpty();
}

}  // namespace

// What one pass found of the sections and keys asked about. Each distinct section and key (by
// folded name) has one place, whatever the number of times it was asked for.
struct IniDocument::Search {
  struct Section {
    QString name;  // as first asked for
    bool found = false;
    bool headerAscii = true;
    IniEncoding encoding = IniEncoding::Utf8;  // the reading its header matched in
    qsizetype insertAt = -1;                   // after the section's last non-blank line
    QHash<QString, int> keys;                  // folded key: its place
  };
  struct Place {
    int section = 0;
    qsizetype start = -1;  // the key's line, when found
    qsizetype contentEnd = -1;
    IniEncoding encoding = IniEncoding::Utf8;
    QString value;
  };

  explicit Search(const std::vector<IniKey>& keys) {
    for (const IniKey& key : keys) {
      const QString sectionFolded = folded(key.section);
      if (!sectionIndex.contains(sectionFolded)) {
        sectionIndex.insert(sectionFolded, static_cast<int>(sections.size()));
        sections.emplace_back().name = key.section;
      }
      const int section = sectionIndex.value(sectionFolded);
      auto& owned = sections[static_cast<size_t>(section)].keys;
      const QString keyFolded = folded(key.key);
      if (!owned.contains(keyFolded)) {
        owned.insert(keyFolded, static_cast<int>(places.size()));
        places.emplace_back().section = section;
      }
      placeOfKey.push_back(owned.value(keyFolded));
    }
  }

  bool allFound() const {
    return std::all_of(sections.begin(), sections.end(), [](const Section& s) { return s.found; });
  }

  // A header line ends the sections before it and opens every wanted section one of its readings
  // names, unless an earlier header did: a line that is valid UTF-8 reads as two names, and which of
  // them the file means does not depend on what is asked. nullopt when the line is no header at all.
  std::optional<std::vector<int>> header(Readings& readings) {
    std::optional<std::vector<int>> opened;
    for (int i = 0; i < readings.count(); ++i) {
      const auto name = sectionName(readings.text(i));
      if (!name) continue;
      if (!opened) opened.emplace();
      const int index = sectionIndex.value(folded(*name), -1);
      if (index < 0 || sections[static_cast<size_t>(index)].found) continue;
      Section& section = sections[static_cast<size_t>(index)];
      section.found = true;
      section.encoding = readings.encoding(i);
      section.headerAscii = readings.count() == 1 && readings.encoding(0) == IniEncoding::Utf8;
      opened->push_back(index);
    }
    return opened;
  }

  // The first line of a wanted key in its section holds it; later ones are ignored. Each reading of
  // the line names a key, and each of those counts.
  void key(int section, const IniLine& line, Readings& readings) {
    const auto& owned = sections[static_cast<size_t>(section)].keys;
    for (int i = 0; i < readings.count(); ++i) {
      const auto pair = keyValue(readings.text(i));
      if (!pair) continue;
      const int index = owned.value(folded(pair->first), -1);
      if (index < 0 || places[static_cast<size_t>(index)].start >= 0) continue;
      Place& place = places[static_cast<size_t>(index)];
      place.start = line.start;
      place.contentEnd = line.contentEnd;
      place.encoding = readings.encoding(i);
      place.value = pair->second;
    }
  }

  std::vector<Section> sections;
  QHash<QString, int> sectionIndex;
  std::vector<Place> places;
  std::vector<int> placeOfKey;  // per key asked for
};

// One change to the bytes: [from, to) replaced by `bytes`; `order` keeps insertions at one place in
// the order they were made.
struct IniDocument::Edit {
  qsizetype from;
  qsizetype to;
  QByteArray bytes;
  int order;
};

IniDocument IniDocument::fromBytes(QByteArray bytes) {
  IniDocument document;
  document.bytes_ = std::move(bytes);
  document.encoding_ = detectIniEncoding(document.bytes_);
  IniLines walk = document.lines();
  IniLine first;
  if (walk.next(first) && first.end > first.contentEnd)
    document.lineEnd_ = document.bytes_.sliced(first.contentEnd, first.end - first.contentEnd);
  else
    document.lineEnd_ = encodeIniText(u"\n", document.encoding_);
  return document;
}

std::optional<IniDocument> IniDocument::load(const QString& path) {
  FileRead read = readRegularFile(path, kMaxIniFileBytes);
  if (read.outcome == FileRead::Outcome::Refused) return std::nullopt;
  return fromBytes(std::move(read.bytes));
}

QString IniDocument::value(const QString& section, const QString& key, const QString& fallback) const {
  return values({{section, key}}).front().value_or(fallback);
}

std::vector<std::optional<QString>> IniDocument::values(const std::vector<IniKey>& keys) const {
  const Search found = search(keys);
  std::vector<std::optional<QString>> values;
  for (const int index : found.placeOfKey) {
    const Search::Place& place = found.places[static_cast<size_t>(index)];
    values.push_back(place.start >= 0 ? std::optional(unquoted(place.value)) : std::nullopt);
  }
  return values;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
  setValues({{section, key, value}});
}

void IniDocument::setValues(const std::vector<IniEntry>& entries) {
  std::vector<IniKey> keys;
  for (const IniEntry& entry : entries) keys.push_back({entry.section, entry.key});
  const Search found = search(keys);
  // The entry that decides each key: the last one given for it.
  std::vector<const IniEntry*> decided(found.places.size());
  for (size_t i = 0; i < entries.size(); ++i) decided[static_cast<size_t>(found.placeOfKey[i])] = &entries[i];

  std::vector<Edit> edits;
  QSet<qsizetype> rewritten;
  for (size_t i = 0; i < found.places.size(); ++i) {
    const Search::Place& place = found.places[i];
    // A line whose two readings hold two of the keys given is rewritten for the first of them.
    if (place.start < 0 || rewritten.contains(place.start)) continue;
    rewritten.insert(place.start);
    const QString line = decided[i]->key + u'=' + writtenValue(decided[i]->value);
    edits.push_back({place.start, place.contentEnd, encodeLine(line, place.encoding, false), 0});
  }
  QByteArray appended;
  for (int section = 0; section < static_cast<int>(found.sections.size()); ++section) {
    const Search::Section& home = found.sections[static_cast<size_t>(section)];
    const QByteArray lines = newLines(found, decided, section);
    if (lines.isEmpty()) continue;
    if (home.found)
      edits.push_back({home.insertAt, home.insertAt, lines, static_cast<int>(edits.size())});
    else
      appended += encodeLine(u'[' + home.name + u']', encoding_, true) + lineEnd_ + lines;
  }
  const qsizetype end = bodyEnd();
  if (!appended.isEmpty()) edits.push_back({end, end, appended, static_cast<int>(edits.size())});
  if (!edits.empty()) apply(std::move(edits));
}

void IniDocument::apply(std::vector<Edit> edits) {
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
    return std::tie(a.from, a.order) < std::tie(b.from, b.order);
  });
  const qsizetype end = bodyEnd();
  qsizetype added = lineEnd_.size();
  for (const Edit& edit : edits) added += edit.bytes.size();
  QByteArray written;
  written.reserve(bytes_.size() + added);  // a large file is copied once, not regrown
  qsizetype at = 0;
  bool endGiven = !endsWithoutLineEnd();
  for (const Edit& edit : edits) {
    written += QByteArrayView(bytes_).sliced(at, edit.from - at);
    // A line added after a last line that had no line end gives that line one first.
    if (edit.from == end && edit.from == edit.to && !std::exchange(endGiven, true)) written += lineEnd_;
    written += edit.bytes;
    at = edit.to;
  }
  written += QByteArrayView(bytes_).sliced(at);
  bytes_ = std::move(written);
}

bool IniDocument::save(const QString& path) const {
  return writeFileAtomically(path, bytes_);
}

// One pass over the lines; it stops once every wanted section has been met and left.
IniDocument::Search IniDocument::search(const std::vector<IniKey>& keys) const {
  Search found(keys);
  std::vector<int> open;  // the wanted sections the current lines belong to
  const QByteArrayView bytes(bytes_);
  IniLines walk = lines();
  for (IniLine line; walk.next(line);) {
    const QByteArrayView text = bytes.sliced(line.start, line.size());
    const bool header = isUtf16(encoding_) || mayBeHeader(text);
    if (open.empty() && !header) continue;
    Readings readings(text, encoding_);
    if (std::optional<std::vector<int>> opened = header ? found.header(readings) : std::nullopt) {
      open = std::move(*opened);
      for (const int section : open) found.sections[static_cast<size_t>(section)].insertAt = line.end;
      if (open.empty() && found.allFound()) break;
      continue;
    }
    if (open.empty() || isBlank(text, readings)) continue;
    for (const int section : open) {
      found.sections[static_cast<size_t>(section)].insertAt = line.end;
      found.key(section, line, readings);
    }
  }
  return found;
}

// A line in the given encoding, unless the lines' readings would take those bytes for UTF-8 and
// still find the same name in them: then it is written in UTF-8, which reads back as written.
QByteArray IniDocument::encodeLine(const QString& text, IniEncoding encoding, bool header) const {
  QByteArray bytes = encodeIniText(text, encoding);
  if (encoding != IniEncoding::ChineseAnsi || isAscii(bytes) || !isValidUtf8(bytes)) return bytes;
  const auto asUtf8 = nameOf(decodeIniText(bytes, IniEncoding::Utf8), header);
  const auto asWritten = nameOf(text, header);
  if (asUtf8 && asWritten && folded(*asUtf8) == folded(*asWritten)) return text.toUtf8();
  return bytes;
}

// The keys of one section that it does not hold yet, in the order first given, each with its last
// value, in the encoding of the section's header (or the file's, for a plain ASCII or new header).
QByteArray IniDocument::newLines(const Search& found, const std::vector<const IniEntry*>& decided,
                                 int section) const {
  const Search::Section& home = found.sections[static_cast<size_t>(section)];
  const IniEncoding encoding = home.found && !home.headerAscii ? home.encoding : encoding_;
  QByteArray lines;
  for (size_t i = 0; i < found.places.size(); ++i) {
    if (found.places[i].section != section || found.places[i].start >= 0) continue;
    const IniEntry& entry = *decided[i];
    lines += encodeLine(entry.key + u'=' + writtenValue(entry.value), encoding, false) + lineEnd_;
  }
  return lines;
}

IniLines IniDocument::lines() const {
  const QByteArrayView body = QByteArrayView(bytes_).first(bodyEnd());
  switch (encoding_) {
    case IniEncoding::Utf16Le:
      return IniLines(body, bodyStart(), IniLines::Units::Utf16Le);
    case IniEncoding::Utf16Be:
      return IniLines(body, bodyStart(), IniLines::Units::Utf16Be);
    default:
      return IniLines(body, bodyStart());
  }
}

// A UTF-16 file cut after an odd byte keeps that byte at its very end, after every line.
qsizetype IniDocument::bodyEnd() const {
  if (!isUtf16(encoding_)) return bytes_.size();
  return bytes_.size() - (bytes_.size() - bodyStart()) % 2;
}

bool IniDocument::endsWithoutLineEnd() const {
  const qsizetype end = bodyEnd();
  if (end <= bodyStart()) return false;
  const qsizetype width = isUtf16(encoding_) ? 2 : 1;
  const QString last = decodeIniText(QByteArrayView(bytes_).sliced(end - width, width), encoding_);
  return last != u"\n" && last != u"\r";
}

}  // namespace pimrose
