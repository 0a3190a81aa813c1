#include "text/text_cut.h"

#include <functional>
#include <optional>

#include <QByteArrayView>
#include <QStringView>

#include "text/gbk_bytes.h"

namespace pimrose {
namespace {

// The 0-based positions where a match may begin, and which way the search runs.
struct Candidates {
  qsizetype first = 0;
  qsizetype last = 0;
  bool backward = false;
};

std::optional<Candidates> candidates(qsizetype length, qsizetype separatorLength, int start) {
  if (separatorLength == 0) return std::nullopt;
  if (start == 0) start = 1;
  Candidates range;
  if (start > 0) {
    range.first = start - 1;
    range.last = length - separatorLength;
  } else {
    const qsizetype k = -qsizetype(start);
    const qsizetype from = k == 1 ? length + 1 : length - k + 1;
    range.last = from - 1 - separatorLength;  // the match lies wholly before `from`
    range.backward = true;
  }
  if (range.first > range.last) return std::nullopt;
  return range;
}

using MatchAt = std::function<bool(qsizetype position)>;

// Walks the character starts (from `nextStart`) and answers the first or last one in range that matches.
std::optional<qsizetype> findMatch(qsizetype length, const Candidates& range,
                                   const std::function<qsizetype(qsizetype)>& nextStart,
                                   const MatchAt& matches) {
  std::optional<qsizetype> found;
  for (qsizetype at = 0; at <= range.last && at < length; at = nextStart(at)) {
    if (at < range.first || !matches(at)) continue;
    found = at;
    if (!range.backward) break;
  }
  return found;
}

char foldAscii(char c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

// Compares character by character, so ASCII-range trail bytes of double-byte characters never fold.
bool gbkMatchesAt(QByteArrayView text, qsizetype at, QByteArrayView separator, bool ignoreCase) {
  for (qsizetype j = 0; j < separator.size();) {
    const int n = gbkCharLength(text, at + j);
    if (j + n > separator.size()) return false;
    if (n == 1 && foldAscii(text[at + j], ignoreCase) != foldAscii(separator[j], ignoreCase)) return false;
    if (n == 2 && text.sliced(at + j, 2) != separator.sliced(j, 2)) return false;
    j += n;
  }
  return true;
}

std::optional<qsizetype> findGbk(const QByteArray& text, const QByteArray& separator, int start,
                                 bool ignoreCase) {
  const auto range = candidates(text.size(), separator.size(), start);
  if (!range) return std::nullopt;
  return findMatch(
      text.size(), *range, [&](qsizetype at) { return at + gbkCharLength(text, at); },
      [&](qsizetype at) { return gbkMatchesAt(text, at, separator, ignoreCase); });
}

bool splitsPair(QStringView text, qsizetype at) {
  return at > 0 && at < text.size() && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate();
}

std::optional<qsizetype> findUtf16(const QString& text, const QString& separator, int start,
                                   bool ignoreCase) {
  const auto range = candidates(text.size(), separator.size(), start);
  if (!range) return std::nullopt;
  const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
  return findMatch(
      text.size(), *range, [&](qsizetype at) { return splitsPair(text, at + 1) ? at + 2 : at + 1; },
      [&](qsizetype at) {
        return QStringView(text).sliced(at, separator.size()).compare(separator, cs) == 0 &&
               !splitsPair(text, at + separator.size());
      });
}

}  // namespace

QByteArray TextLeftOf(const QByteArray& text, const QByteArray& separator, int start, bool ignoreCase) {
  const auto at = findGbk(text, separator, start, ignoreCase);
  return at ? text.first(*at) : QByteArray();
}

QByteArray TextRightOf(const QByteArray& text, const QByteArray& separator, int start, bool ignoreCase) {
  const auto at = findGbk(text, separator, start, ignoreCase);
  return at ? text.sliced(*at + separator.size()) : QByteArray();
}

QString TextLeftOf(const QString& text, const QString& separator, int start, bool ignoreCase) {
  const auto at = findUtf16(text, separator, start, ignoreCase);
  return at ? text.first(*at) : QString();
}

QString TextRightOf(const QString& text, const QString& separator, int start, bool ignoreCase) {
  const auto at = findUtf16(text, separator, start, ignoreCase);
  return at ? text.sliced(*at + separator.size()) : QString();
}

}  // namespace pimrose
