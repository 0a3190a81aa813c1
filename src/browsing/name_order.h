#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The order a listing shows a folder's names in: case-blind, as QString::compare with
// Qt::CaseInsensitive orders them, ties broken by the names' bytes.

namespace pimrose {

struct NamedFile {
  std::string name;         // as the folder holds it
  QString text;             // as shown (text/file_names.h), from `shownFrom` on
  qsizetype shownFrom = 0;  // what comes before the name in `text` (a folder's part of a path) is not ordered

  QStringView shown() const { return QStringView(text).sliced(shownFrom); }
};

// A folder's file names as the folder holds them, kept in one block: a folder of 100,000 names is
// read without making a string of each (its shown text, decodeFileName, is made when it is needed).
class FolderNames {
 public:
  // False when the name holds a byte beyond ASCII.
  bool add(std::string_view name);
  size_t size() const { return names_.size(); }
  std::string_view name(size_t at) const { return {bytes_.data() + names_[at].from, names_[at].size}; }
  bool ascii(size_t at) const { return names_[at].decoded < 0; }
  // The shown text of a name beyond ASCII (`ascii(at)` false), without a copy.
  QStringView decoded(size_t at) const { return decoded_[names_[at].decoded]; }
  // The name as shown (text/file_names.h), appended to `out`.
  void appendShown(QString& out, size_t at) const;
  QString shown(size_t at) const;
  // The UTF-16 units of all shown names together.
  qsizetype shownUnits() const { return shownUnits_; }

 private:
  struct Name {
    size_t from = 0;  // a folder's names may hold more than 4 GB together
    quint32 size = 0;
    qint32 decoded = -1;  // in decoded_; ASCII names are shown as they are held
  };
  std::string bytes_;
  std::vector<Name> names_;
  QStringList decoded_;
  qsizetype shownUnits_ = 0;
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

// The same order of a folder's names.
std::vector<quint32> orderByName(const FolderNames& names, size_t count, const LastNames& lastReady);

// QString::compare(a, b, Qt::CaseInsensitive), the ASCII units folded here.
int compareCaseBlind(QStringView a, QStringView b);

}  // namespace pimrose
