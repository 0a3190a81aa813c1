#include "browsing/name_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "text/file_names.h"

namespace pimrose {
namespace {

constexpr size_t kPrefixUnits = 12;

char16_t foldAscii(char16_t unit) {
  return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
}

constexpr size_t kUnitsPerWord = 4;
constexpr size_t kPrefixWords = kPrefixUnits / kUnitsPerWord;

// The first units of a name, folded as Qt folds them, four to a word with the first unit highest, so
// that comparing the words compares the units in order. A surrogate ends the prefix early (Qt folds
// a pair as one code point), so only `valid` units count (the rest are zero); `whole` when they are
// the whole name.
struct SortItem {
  std::array<std::uint64_t, kPrefixWords> words{};
  quint8 valid = 0;
  bool whole = false;
  quint32 index = 0;

  void set(size_t at, char16_t unit) {
    words[at / kUnitsPerWord] |= std::uint64_t(unit) << (16 * (kUnitsPerWord - 1 - at % kUnitsPerWord));
  }
};

// An ASCII name as its shown text would give it.
SortItem sortItemOfAscii(std::string_view name, quint32 index) {
  SortItem item;
  item.index = index;
  item.valid = quint8(std::min(name.size(), kPrefixUnits));
  for (size_t i = 0; i < item.valid; ++i)
    item.set(i, foldAscii(char16_t(static_cast<unsigned char>(name[i]))));
  item.whole = item.valid == name.size();
  return item;
}

SortItem sortItem(QStringView text, quint32 index) {
  SortItem item;
  item.index = index;
  const qsizetype size = std::min<qsizetype>(text.size(), qsizetype(kPrefixUnits));
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t unit = text.at(i).unicode();
    if (QChar::isSurrogate(unit)) return item;
    item.set(size_t(i), unit < 0x80 ? foldAscii(unit) : char16_t(QChar::toCaseFolded(char32_t(unit))));
    item.valid = quint8(i + 1);
  }
  item.whole = item.valid == text.size();
  return item;
}

// Negative, zero or positive as the prefixes decide; `decided` false when only the names can tell.
int comparePrefixes(const SortItem& a, const SortItem& b, bool& decided) {
  const size_t common = std::min(a.valid, b.valid);
  for (size_t w = 0; w < kPrefixWords; ++w) {
    const std::uint64_t differ = a.words[w] ^ b.words[w];
    if (differ == 0) continue;
    // Only a unit both prefixes hold decides; past the shorter one its zeros say nothing.
    if (w * kUnitsPerWord + size_t(std::countl_zero(differ)) / 16 >= common) break;
    decided = true;
    return a.words[w] < b.words[w] ? -1 : 1;
  }
  // One whole name that is a prefix of the other comes first; two whole names are equal.
  const bool aEnds = a.whole && a.valid == common, bEnds = b.whole && b.valid == common;
  decided = aEnds || bEnds;
  return aEnds == bEnds ? 0 : aEnds ? -1 : 1;
}

// compareCaseBlind of two ASCII names.
int compareAsciiCaseBlind(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t p = foldAscii(char16_t(a[i])), q = foldAscii(char16_t(b[i]));
    if (p != q) return p < q ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The items in name order: the prefixes decide most pairs, `compareNames` (case-blind, as
// compareCaseBlind) the others, and `bytesBefore` the names the case-blind order holds equal.
template <typename CompareNames, typename BytesBefore>
std::vector<quint32> orderItems(std::vector<SortItem>& items, const CompareNames& compareNames,
                                const BytesBefore& bytesBefore, size_t count, const LastNames& lastReady) {
  const auto before = [&](const SortItem& a, const SortItem& b) {
    bool decided = false;
    int order = comparePrefixes(a, b, decided);
    if (!decided) order = compareNames(a.index, b.index);
    return order != 0 ? order < 0 : bytesBefore(a.index, b.index);
  };
  std::vector<quint32> order(items.size());
  const auto take = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) order[i] = items[i].index;
  };
  // The last names are set apart in linear time and ordered alone; the rest, all before them, after.
  const size_t split = lastReady && count > 0 ? items.size() - std::min(count, items.size()) : items.size();
  if (split < items.size()) {
    std::nth_element(items.begin(), items.begin() + qsizetype(split), items.end(), before);
    std::sort(items.begin() + qsizetype(split), items.end(), before);
    take(split, items.size());
    lastReady(std::span<const quint32>(order).subspan(split));
  }
  std::sort(items.begin(), items.begin() + qsizetype(split), before);
  take(0, split);
  return order;
}

}  // namespace

bool FolderNames::add(std::string_view name) {
  Name held{bytes_.size(), quint32(name.size())};
  bytes_.append(name);
  const bool isAscii =
      std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (isAscii) {
    shownUnits_ += qsizetype(name.size());
  } else {
    held.decoded = qint32(decoded_.size());
    decoded_.append(decodeFileName(name));
    shownUnits_ += decoded_.last().size();
  }
  names_.push_back(held);
  return isAscii;
}

void FolderNames::appendShown(QString& out, size_t at) const {
  const Name& held = names_[at];
  if (held.decoded >= 0) {
    out += decoded_[held.decoded];
    return;
  }
  out.append(QLatin1StringView(bytes_.data() + held.from, qsizetype(held.size)));
}

QString FolderNames::shown(size_t at) const {
  QString text;
  appendShown(text, at);
  return text;
}

std::vector<quint32> orderByName(const FolderNames& names, size_t count, const LastNames& lastReady) {
  std::vector<SortItem> items;
  items.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    items.push_back(names.ascii(i) ? sortItemOfAscii(names.name(i), quint32(i))
                                   : sortItem(names.decoded(i), quint32(i)));
  // Names that share their first twelve units (a messenger's pictures named by date) come here often:
  // only a pair of an ASCII name and another makes a string.
  const auto compareNames = [&names](quint32 a, quint32 b) {
    const bool asciiA = names.ascii(a), asciiB = names.ascii(b);
    if (asciiA && asciiB) return compareAsciiCaseBlind(names.name(a), names.name(b));
    if (!asciiA && !asciiB) return compareCaseBlind(names.decoded(a), names.decoded(b));
    return compareCaseBlind(names.shown(a), names.shown(b));
  };
  const auto bytesBefore = [&names](quint32 a, quint32 b) { return names.name(a) < names.name(b); };
  return orderItems(items, compareNames, bytesBefore, count, lastReady);
}

int compareCaseBlind(QStringView a, QStringView b) {
  const char16_t* x = a.utf16();
  const char16_t* y = b.utf16();
  const qsizetype common = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < common; ++i) {
    const char16_t p = x[i], q = y[i];
    if (p == q) continue;
    if (p >= 0x80 || q >= 0x80) {
      // Past the ASCII units Qt folds the rest, a pair whose first unit is the one before included.
      const qsizetype from = i > 0 && QChar::isHighSurrogate(x[i - 1]) ? i - 1 : i;
      return a.sliced(from).compare(b.sliced(from), Qt::CaseInsensitive);
    }
    if (foldAscii(p) != foldAscii(q)) return foldAscii(p) < foldAscii(q) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::vector<quint32> orderByName(const std::vector<NamedFile>& files) {
  return orderByName(files, 0, {});
}

std::vector<quint32> orderByName(const std::vector<NamedFile>& files, size_t count,
                                 const LastNames& lastReady) {
  std::vector<SortItem> items;
  items.reserve(files.size());
  for (size_t i = 0; i < files.size(); ++i) items.push_back(sortItem(files[i].shown(), quint32(i)));
  const auto compareNames = [&files](quint32 a, quint32 b) {
    return compareCaseBlind(files[a].shown(), files[b].shown());
  };
  const auto bytesBefore = [&files](quint32 a, quint32 b) { return files[a].name < files[b].name; };
  return orderItems(items, compareNames, bytesBefore, count, lastReady);
}

}  // namespace pimrose
