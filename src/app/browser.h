#pragma once

#include <QObject>

#include <array>
#include <memory>
#include <optional>
#include <utility>

#include "app/viewer.h"
#include "browsing/details_reader.h"
#include "browsing/drop_queue.h"
#include "browsing/enumeration_controller.h"
#include "browsing/picture_search.h"
#include "commands/errands.h"
#include "thumbnails/loading_state.h"
#include "thumbnails/thumbnail_loader.h"
#include "ui/main_window_controls.h"

namespace pimrose {

// The picture browser of the main window: wires dropping, listing, searching, resizing and
// thumbnail loading (logic in src/browsing and src/thumbnails) to the main window's controls.
class Browser : public QObject {
  Q_OBJECT

 public:
  // `lister` and `readLine` stand in for the folder walk and the details reading in tests; empty
  // ones are the real things.
  explicit Browser(const ui::MainWindowControls& controls, ThumbnailWork work = defaultThumbnailWork(),
                   EnumerationController::Lister lister = {}, DetailsReader::ReadLine readLine = {});
  ~Browser() override;

  // Prepares the two icon lists and the loader; IconSize follows the slider from here on.
  void InitLoading();
  // Reads the options the loader follows (fast loading, memory release, the icon size slider) from
  // their controls again, as after the settings were restored without any control event.
  void applyOptions();
  // The drop callback: only queues; the drop timer opens the batch.
  void queueDroppedPath(const QString& path);
  // Writes the details line of item `index` of the shown list into the status text, once it has
  // been read off the UI thread; a newer click or list wins over a line still being read.
  void ShowPictureDetails(int index);

  EnumerationController& lists() { return lists_; }
  PictureSearch& search() { return search_; }
  ThumbnailLoader& loader() { return loader_; }
  DropQueue& drops() { return drops_; }
  // The built-in viewer over the browser page; opening a picture there is `viewer().open(index)`.
  Viewer& viewer() { return *viewer_; }
  DetailsReader& details() { return details_; }
  // Whether the search list is the one on screen (its own visibility flag, which search mode switches; a
  // hidden main window does not change it).
  bool searchListShown() const;

 Q_SIGNALS:
  // The picture menu was asked for on item `index` (0-based) of the list on screen.
  void pictureMenuRequested(int index);

 private:
  // How many screens past the first the loaders may make while a drop waits to be shown: bounds
  // the icons kept for items not asked for yet (12 screens of 270-pixel icons, about 23 MB).
  static constexpr int kFurtherScreens = 12;

  void connectControls();
  void installItemCallback(ListId id);
  void onItemClicked(ListId id, int index);
  void openItem(ListId id, int index, int code);
  ui::IconList& iconList(ListId id) const;
  const QStringList& shownList() const;
  void fillList(ListId id, const QStringList& paths, QSize itemSize, quint64 generation);
  void onPictureListReplaced(const OpenedList& list);
  void prepareFirstScreen(const QStringList& pictures, QSize itemSize);
  int firstScreenCount(int iconWidth) const;
  void onSearchListReplaced(const SearchListResult& list);
  void onSearchModeChanged(bool on);
  void onThumbnailReady(const ThumbnailDelivery& delivery);
  void hideViewer();
  void showDetailsLine(const QString& line);
  void showListingProgress(qsizetype found);
  void endListingProgress();
  void reportVisibleRange(ListId id);
  std::unique_ptr<Viewer> makeViewer();

  ui::MainWindowControls ui_;
  EnumerationController lists_;
  PictureSearch search_;
  ThumbnailLoader loader_;
  DropQueue drops_;
  std::unique_ptr<Viewer> viewer_;
  std::array<std::pair<int, int>, kListCount> reportedRange_{{{-1, -1}, {-1, -1}}};
  bool loadingReady_ = false;
  DetailsReader details_;
  // The status text a long listing's progress covers, put back when the listing ends.
  std::optional<QString> textBeforeProgress_;
  // Last, so it goes first: a file looked up for opening reaches nothing that has gone.
  Errands openings_;
};

}  // namespace pimrose
