#include "browsing/picture_search.h"

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

QStringList filterPictures(const QStringList& pictures, const QString& text) {
  QStringList matches;
  for (const QString& path : pictures)
    if (findText(path, text) != -1) matches.append(path);
  return matches;
}

PictureSearch::PictureSearch(const EnumerationController& lists, QObject* parent)
    : QObject(parent), lists_(lists) {
  connect(&lists, &EnumerationController::pictureListReplaced, this, [this] { setSearchMode(false); });
  connect(&lists, &EnumerationController::openFoundNothing, this, &PictureSearch::repeatAfterEmptyListing);
}

void PictureSearch::searchPictures(const QString& text) {
  searchList_ = filterPictures(lists_.pictureList(), text);
  ++generation_;
  qCInfo(lcBrowsing) << "search" << text << "matches" << searchList_.size();
  Q_EMIT searchListReplaced(SearchListResult{generation_, searchList_, lists_.itemSize()});
  setSearchMode(!searchList_.isEmpty());
}

void PictureSearch::setSearchMode(bool on) {
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
