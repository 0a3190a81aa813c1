#include "browsing/picture_search.h"

#include <algorithm>
#include <utility>

#include <QMetaObject>

#include "browsing/browsing_log.h"
#include "browsing/enumeration_controller.h"

namespace pimrose {
namespace {

QStringView untilZero(const QString& text) {
  const qsizetype zero = text.indexOf(QChar(u'\0'));
  return zero < 0 ? QStringView(text) : QStringView(text).first(zero);
}

}  // namespace

int findText(const QString& text, const QString& part, int start, bool caseInsensitive) {
  const QStringView haystack = untilZero(text);
  const QStringView needle = untilZero(part);
  const qsizetype from = start < 1 ? 0 : qsizetype(start) - 1;
  if (needle.isEmpty() || from > haystack.size()) return -1;
  const qsizetype found =
      haystack.indexOf(needle, from, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
  return found < 0 ? -1 : int(found) + 1;
}

namespace {

// Appends the entries of [from, to) that contain `needle` (already cut at its zero unit). Paths hold
// no zero unit, but should one, only what comes before it counts, as findText has it.
void appendMatches(const QStringList& pictures, qsizetype from, qsizetype to, QStringView needle,
                   QStringList& matches) {
  if (needle.isEmpty()) return;
  for (qsizetype at = from; at < to; ++at) {
    const QString& path = pictures.at(at);
    const qsizetype found = path.indexOf(needle);
    if (found >= 0 && (found + needle.size() <= untilZero(path).size())) matches.append(path);
  }
}

}  // namespace

QStringList filterPictures(const QStringList& pictures, const QString& text) {
  QStringList matches;
  appendMatches(pictures, 0, pictures.size(), untilZero(text), matches);
  return matches;
}

PictureSearch::PictureSearch(const EnumerationController& lists, QObject* parent)
    : QObject(parent), lists_(lists) {
  connect(&lists, &EnumerationController::pictureListReplaced, this, [this] { setSearchMode(false); });
  connect(&lists, &EnumerationController::openFoundNothing, this, &PictureSearch::repeatAfterEmptyListing);
}

void PictureSearch::searchPictures(const QString& text) {
  running_ = Running{text, lists_.pictureList(), 0, {}};
  searchSlice();
}

// One slice now; the next one after the events that came meanwhile.
void PictureSearch::searchSlice() {
  sliceQueued_ = false;
  if (!running_) return;
  Running& search = *running_;
  const qsizetype to = std::min(search.pictures.size(), search.next + kSliceEntries);
  appendMatches(search.pictures, search.next, to, untilZero(search.text), search.matches);
  search.next = to;
  if (to == search.pictures.size()) {
    finish(*std::exchange(running_, std::nullopt));
    return;
  }
  if (std::exchange(sliceQueued_, true)) return;
  QMetaObject::invokeMethod(this, &PictureSearch::searchSlice, Qt::QueuedConnection);
}

void PictureSearch::finish(Running done) {
  searchList_ = std::move(done.matches);
  ++generation_;
  qCInfo(lcBrowsing) << "search" << done.text << "matches" << searchList_.size();
  Q_EMIT searchListReplaced(SearchListResult{generation_, searchList_, lists_.itemSize()});
  setSearchMode(!searchList_.isEmpty());
}

void PictureSearch::setSearchMode(bool on) {
  if (!on) running_.reset();
  searchMode_ = on;
  Q_EMIT searchModeChanged(on);
}

void PictureSearch::onSearchButtonClicked(int buttonState) {
  if (buttonState == 0)
    searchPictures(currentText());
  else
    setSearchMode(false);
}

void PictureSearch::onSearchKeyReleased(Qt::Key key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) searchPictures(currentText());
}

void PictureSearch::repeatAfterEmptyListing(bool afterIconSizeChange) {
  if (afterIconSizeChange && searchMode_) searchPictures(currentText());
}

}  // namespace pimrose
