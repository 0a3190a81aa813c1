#pragma once

#include <QObject>

#include <array>
#include <memory>
#include <optional>
#include <utility>

#include "browsing/details_reader.h"
#include "browsing/drop_queue.h"
#include "browsing/enumeration_controller.h"
#include "browsing/picture_search.h"
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
  // The drop callback: only queues; the drop timer opens the batch.
  void queueDroppedPath(const QString& path);
  // Writes the details line of item `index` of the shown list into the status text, once it has
  // been read off the UI thread; a newer click or list wins over a line still being read.
  void ShowPictureDetails(int index);

  EnumerationController& lists() { return lists_; }
  PictureSearch& search() { return search_; }
  ThumbnailLoader& loader() { return loader_; }
  DropQueue& drops() { return drops_; }
  DetailsReader& details() { return details_; }

 private:
  void connectControls();
  void installItemCallback(ListId id);
  ui::IconList& iconList(ListId id) const;
  const QStringList& shownList() const;
  void fillList(ListId id, const QStringList& paths, QSize itemSize, quint64 generation);
  void onPictureListReplaced(const OpenedList& list);
  void onSearchListReplaced(const SearchListResult& list);
  void onSearchModeChanged(bool on);
  void onThumbnailReady(const ThumbnailDelivery& delivery);
  void hideViewer();
  void showDetailsLine(const QString& line);
  void showListingProgress(qsizetype found);
  void endListingProgress();
  void reportVisibleRange(ListId id);

  ui::MainWindowControls ui_;
  EnumerationController lists_;
  PictureSearch search_;
  ThumbnailLoader loader_;
  DropQueue drops_;
  DetailsReader details_;
  std::array<std::pair<int, int>, kListCount> reportedRange_{{{-1, -1}, {-1, -1}}};
  // The status text a long listing's progress covers, put back when the listing ends.
  std::optional<QString> textBeforeProgress_;
};

}  // namespace pimrose
