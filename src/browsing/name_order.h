#pragma once

#include <QString>
#include <QtGlobal>

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

// QString::compare(a, b, Qt::CaseInsensitive), the ASCII units folded here.
int compareCaseBlind(QStringView a, QStringView b);

}  // namespace pimrose
