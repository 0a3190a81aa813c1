#pragma once

#include <functional>

#include <QObject>
#include <QSize>
#include <QStringList>

// Searching the file list, and search mode.
//
// A search keeps the entries of PictureList that contain the search text, case-sensitively,
// anywhere in the whole path (a folder name matches every picture in it). With matches, search
// mode turns on; without, it turns off and the full list shows again. The search button starts a
// search while its state is 0 and ends search mode otherwise; Enter (Return or the keypad's
// Enter) released in the search box searches, other keys do nothing. An empty search text matches nothing.
// Opening a list that found pictures leaves search mode; a slider change whose listing found
// nothing repeats the search shown at the time.
//
// Seams for the program (all on the UI thread):
//   setSearchTextSource(f): f() gives the current content of the search box.
//   searchListReplaced(list): delete every item of the search icon list, set its item size to
//     list.itemSize, insert list.matches.size() empty items, give the loader the new list
//     (ThumbnailLoader::setList); when matches is not empty, show the details line of
//     matches.first() with position 1.
//   searchModeChanged(on): on: search button state 1, file list hidden, search list shown;
//     off: search box text emptied, button state 0, file list shown, search list hidden.

namespace pimrose {

class EnumerationController;

// 1-based position of the first occurrence of `part` in `text` at or after unit `start` (1-based;
// 0 counts as 1), or -1. Both texts end at their first zero unit, as wide texts do.
int findText(const QString& text, const QString& part, int start = 1, bool caseInsensitive = false);

// The entries of `pictures` that contain `text` (case-sensitive), in list order.
QStringList filterPictures(const QStringList& pictures, const QString& text);

struct SearchListResult {
  quint64 generation = 0;
  QStringList matches;  // the new SearchList
  QSize itemSize;
};

class PictureSearch : public QObject {
  Q_OBJECT

 public:
  explicit PictureSearch(const EnumerationController& lists, QObject* parent = nullptr);

  void setSearchTextSource(std::function<QString()> source) { textSource_ = std::move(source); }

  void searchPictures(const QString& text);
  void setSearchMode(bool on);
  void onSearchButtonClicked(int buttonState);
  void onSearchKeyReleased(Qt::Key key);

  bool searchMode() const { return searchMode_; }
  const QStringList& searchList() const { return searchList_; }
  quint64 generation() const { return generation_; }

 Q_SIGNALS:
  void searchListReplaced(const pimrose::SearchListResult& list);
  void searchModeChanged(bool on);

 private:
  QString currentText() const { return textSource_ ? textSource_() : QString(); }
  void repeatAfterEmptyListing(bool afterIconSizeChange);

  const EnumerationController& lists_;
  std::function<QString()> textSource_;
  QStringList searchList_;
  quint64 generation_ = 0;
  bool searchMode_ = false;
};

}  // namespace pimrose
