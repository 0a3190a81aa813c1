#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <span>
#include <string>
#include <vector>

// The order a listing shows a folder's names in: case-blind, as QString::compare with
// Qt::CaseInsensitive orders them, ties broken by the names' bytes.

namespace pimrose {

struct NamedFile {
  std::string name;         // as the folder holds it
  QString text;             // as shown (text/file_names.h), from `shownFrom` on
  qsizetype shownFrom = 0;  // a listing keeps the whole path here, the folder's part before the name

  QStringView shown() const { return QStringView(text).sliced(shownFrom); }
};

// Positions in `files`, in name order. A folder of 100,000 names is ordered in a few tens of
// milliseconds: the first units of every name are folded once, and kept beside its position, so
// that most comparisons touch neither the names' own memory nor Qt's folding.
std::vector<quint32> orderByName(const std::vector<NamedFile>& files);

// The same order, and `lastReady` is called with its last `count` positions (all of them when there
// are fewer), in name order, as soon as they are picked: before the other names are ordered.
using LastNames = std::function<void(std::span<const quint32> last)>;
std::vector<quint32> orderByName(const std::vector<NamedFile>& files, size_t count,
                                 const LastNames& lastReady);

// QString::compare(a, b, Qt::CaseInsensitive), the ASCII units folded here.
int compareCaseBlind(QStringView a, QStringView b);

}  // namespace pimrose
