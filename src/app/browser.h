#pragma once

#include <QObject>

#include <array>
#include <memory>
#include <utility>

#include "pictures/drop_queue.h"
#include "pictures/enumeration_controller.h"
#include "pictures/loading_state.h"
#include "pictures/picture_search.h"
#include "pictures/thumbnail_loader.h"

#include "app/viewer.h"

namespace pimrose {

namespace ui {
class IconList;
class Window;
}  // namespace ui

// The picture browser of the main window: wires dropping, listing, searching, resizing and
// thumbnail loading (logic in src/pictures) to the main window's controls.
class Browser : public QObject {
  Q_OBJECT

 public:
  explicit Browser(ui::Window& mainWindow, ThumbnailWork work = defaultThumbnailWork());
  ~Browser() override;

  // Prepares the two icon lists and the loader; IconSize follows the slider from here on.
  void InitLoading();
  // The drop callback: only queues; the drop timer opens the batch.
  void queueDroppedPath(const QString& path);
  // Writes the details line of item `index` of the shown list into the status text.
  void ShowPictureDetails(int index);

  EnumerationController& lists() { return lists_; }
  PictureSearch& search() { return search_; }
  ThumbnailLoader& loader() { return loader_; }
  DropQueue& drops() { return drops_; }
  // The built-in viewer over the browser page; opening a picture there is `viewer().open(index)`.
  Viewer& viewer() { return *viewer_; }

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
  void reportVisibleRange(ListId id);
  std::unique_ptr<Viewer> makeViewer();

  ui::Window& window_;
  EnumerationController lists_;
  PictureSearch search_;
  ThumbnailLoader loader_;
  DropQueue drops_;
  std::unique_ptr<Viewer> viewer_;
  std::array<std::pair<int, int>, 2> reportedRange_{{{-1, -1}, {-1, -1}}};
};

}  // namespace pimrose
