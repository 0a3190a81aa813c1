#include "platform/ini_document.h"

#include <QFile>

#include <optional>
#include <utility>

#include "platform/atomic_file.h"

namespace pimrose {
namespace {

constexpr QByteArrayView kBom = "\xEF\xBB\xBF";

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

bool sameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
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

}  // namespace

IniDocument IniDocument::fromBytes(QByteArrayView bytes) {
  IniDocument document;
  document.encoding_ = detectIniEncoding(bytes);
  if (document.encoding_ == IniEncoding::Utf8Bom) bytes = bytes.sliced(kBom.size());
  bool styleKnown = false;
  while (!bytes.isEmpty()) {
    const qsizetype newline = bytes.indexOf('\n');
    Line line;
    if (newline < 0) {
      line.bytes = bytes.toByteArray();
      bytes = {};
    } else {
      const bool crlf = newline > 0 && bytes[newline - 1] == '\r';
      line.bytes = bytes.first(crlf ? newline - 1 : newline).toByteArray();
      line.end = crlf ? QByteArray("\r\n") : QByteArray("\n");
      bytes = bytes.sliced(newline + 1);
      if (!std::exchange(styleKnown, true)) document.lineEnd_ = line.end;
    }
    document.lines_.push_back(std::move(line));
  }
  return document;
}

std::optional<IniDocument> IniDocument::load(const QString& path) {
  QFile file(path);
  if (!file.exists()) return IniDocument();
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  return fromBytes(file.readAll());
}

QString IniDocument::value(const QString& section, const QString& key, const QString& fallback) const {
  const Location at = locate(section, key);
  if (at.key < 0) return fallback;
  return unquoted(keyValue(text(at.key))->second);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
  const Location at = locate(section, key);
  const QString entry = key + u'=' + writtenValue(value);
  if (at.key >= 0) {
    lines_[static_cast<size_t>(at.key)].bytes = makeLine(entry).bytes;
  } else if (at.section >= 0) {
    insertLine(at.sectionEnd, entry);
  } else {
    insertLine(static_cast<qsizetype>(lines_.size()), u'[' + section + u']');
    insertLine(static_cast<qsizetype>(lines_.size()), entry);
  }
}

QByteArray IniDocument::toBytes() const {
  QByteArray bytes;
  if (encoding_ == IniEncoding::Utf8Bom) bytes += kBom;
  for (const Line& line : lines_) bytes += line.bytes + line.end;
  return bytes;
}

bool IniDocument::save(const QString& path) const {
  return writeFileAtomically(path, toBytes());
}

QString IniDocument::text(qsizetype line) const {
  return decodeIniText(lines_[static_cast<size_t>(line)].bytes, encoding_);
}

IniDocument::Location IniDocument::locate(const QString& section, const QString& key) const {
  Location at;
  bool inside = false;
  for (qsizetype i = 0; i < static_cast<qsizetype>(lines_.size()); ++i) {
    const QString line = text(i);
    if (const auto name = sectionName(line)) {
      if (inside) break;
      inside = sameName(*name, section);
      if (inside) at.section = i, at.sectionEnd = i + 1;
      continue;
    }
    if (!inside) continue;
    if (!line.trimmed().isEmpty()) at.sectionEnd = i + 1;
    const auto pair = keyValue(line);
    if (pair && at.key < 0 && sameName(pair->first, key)) at.key = i;
  }
  return at;
}

// A line inserted after a last line that had no line end gives that line one first.
void IniDocument::insertLine(qsizetype at, const QString& text) {
  if (at > 0) {
    Line& before = lines_[static_cast<size_t>(at - 1)];
    if (before.end.isEmpty()) before.end = lineEnd_;
  }
  lines_.insert(lines_.begin() + at, makeLine(text));
}

IniDocument::Line IniDocument::makeLine(const QString& text) const {
  return Line{encodeIniText(text, encoding_), lineEnd_};
}

}  // namespace pimrose
