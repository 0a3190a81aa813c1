#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QSize>
#include <QStringList>

// Searching the file list, and search mode.
//
// A search keeps the entries of the picture list (EnumerationController::pictureList()) that contain the
// search text, case-sensitively, anywhere in the whole path (a folder name matches every picture in it). With
// matches, search mode turns on; without, it turns off and the full list shows again. The search button
// starts a search while its state is 0 and ends search mode otherwise; Enter (Return or the keypad's Enter)
// released in the search box searches, other keys do nothing. An empty search text matches nothing. Opening a
// list that found pictures leaves search mode; a slider change whose listing found nothing repeats the search
// shown at the time.
//
// A search looks at kSliceEntries entries per turn of the event loop, the first of them at once: a list
// of a few thousand pictures is searched before searchPictures returns, a list of a million over a few
// dozen turns, so the window answers meanwhile. The result comes when the whole list has been looked at.
// A newer search, the end of search mode or a new picture list drops the one still running.
//
// Hooks and signals (all on the UI thread):
//   setSearchTextSource(f): f() gives the text to search for when the search itself reads it (the
//     search button, Enter, a repeated search).
//   searchListReplaced(list): the matches are now the search list; `list` carries them with their
//     generation and item size (the icon size of the picture list).
//   searchModeChanged(on): search mode began (the matches show instead of the picture list) or
//     ended (the picture list shows again).

namespace pimrose {

class EnumerationController;

// 1-based position of the first occurrence of `part` in `text` at or after unit `start` (1-based;
// 0 counts as 1), or -1. Both texts end at their first zero unit, as wide texts do.
int findText(const QString& text, const QString& part, int start = 1, bool caseInsensitive = false);

// The entries of `pictures` that contain `text` (case-sensitive), in list order.
QStringList filterPictures(const QStringList& pictures, const QString& text);

struct SearchListResult {
  quint64 generation = 0;
  QStringList matches;  // the new search list, in picture-list order
  QSize itemSize;
};

class PictureSearch : public QObject {
  Q_OBJECT

 public:
  // About 10 ms of work per turn on a slow machine with long paths.
  static constexpr qsizetype kSliceEntries = 50'000;

  explicit PictureSearch(const EnumerationController& lists, QObject* parent = nullptr);

  void setSearchTextSource(std::function<QString()> source) { textSource_ = std::move(source); }

  void searchPictures(const QString& text);
  void setSearchMode(bool on);
  void onSearchButtonClicked(int buttonState);
  void onSearchKeyReleased(Qt::Key key);

  bool searchMode() const { return searchMode_; }
  // Whether a search has been asked for and has not yet given its result.
  bool searching() const { return running_.has_value(); }
  const QStringList& searchList() const { return searchList_; }
  quint64 generation() const { return generation_; }

 Q_SIGNALS:
  void searchListReplaced(const pimrose::SearchListResult& list);
  void searchModeChanged(bool on);

 private:
  struct Running {
    QString text;
    QStringList pictures;  // the picture list when the search began
    qsizetype next = 0;
    QStringList matches;
  };

  QString currentText() const { return textSource_ ? textSource_() : QString(); }
  void repeatAfterEmptyListing(bool afterIconSizeChange);
  void searchSlice();
  void finish(Running done);

  const EnumerationController& lists_;
  std::function<QString()> textSource_;
  QStringList searchList_;
  std::optional<Running> running_;
  bool sliceQueued_ = false;
  quint64 generation_ = 0;
  bool searchMode_ = false;
};

}  // namespace pimrose
