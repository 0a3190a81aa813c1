#pragma once

#include <memory>
#include <vector>

#include <QImage>
#include <QList>
#include <QObject>

#include "platform/worker_inbox.h"
#include "thumbnails/early_thumbnails.h"
#include "thumbnails/loading_state.h"
#include "thumbnails/thumbnail_pool.h"

// Thumbnails for the two icon lists, made in the background and delivered on the UI thread.
//
// Seams for the program (all on the UI thread):
//   setList(list, paths, generation): after every rebuild of a list (OpenedList /
//     SearchListResult); every slot becomes held, waiting requests for the old list are dropped,
//     and results still on their way for it are thrown away when they arrive.
//   loadIcon(list, index): the list shows the item without an icon; queues its load.
//   stillMissing(list, index): the list shows the item again, still without an icon; answers
//     Released once for an item whose icon was released (it is held again from then on, so the
//     list asks anew), OnItsWay otherwise.
//   setVisibleRange(list, first, last): what the list shows; loads there go first and waiting
//     loads far away are dropped (their items count as released, so the list asks again when
//     they come back into view).
//   thumbnailReady(delivery): lock the list's updates, set item `index` to height
//     `thumbnailHeight` and its icon to `image`, clear the icons of `released`, unlock. A
//     `provisional` delivery (a camera photo's embedded preview) comes first and the final one of
//     the same item follows; whatever counts finished items counts only final deliveries.
//   setIconSize / setFastLoading / setSmartRelease: the thumbnail width, whether embedded
//     previews may be used, whether icons 2000 items away are given up. Either way the icons a
//     list holds stay within their memory budget (icon_budget.h): deliveries name the icons given
//     up for it in `released` too.
//   prepareFirstScreen(paths, further): the first items of a Files list that is about to be shown;
//     their thumbnails are made now, with the settings of the moment, and handed to the items when
//     the list asks for them (early_thumbnails.h). Once the loaders have taken all of them, they go
//     on with `further` (the items after them, in order), a loader's worth at a time, until the
//     list is set. Asked again with the same first items and settings, the round goes on and only
//     `further` is replaced.
//   setIconSize / setFastLoading / setSmartRelease / setThumbnailCache: the thumbnail width,
//     whether embedded previews may be used, whether far icons are given up, whether the shared
//     thumbnail cache is read and written.

namespace pimrose {

struct ThumbnailDelivery {
  ListId list = ListId::Files;
  int index = 0;
  QImage image;  // null when the picture could not be read: the item gets an empty icon
  int thumbnailHeight = 0;
  QList<int> released;  // items whose icons to clear (smart release)
  // The embedded preview standing in until the final thumbnail of the same request follows, in a
  // delivery of its own (which may empty the icon again when the picture's pixels fail).
  bool provisional = false;
};

// The real picture work: loadThumbnail on the request's path.
ThumbnailWork defaultThumbnailWork();

class ThumbnailLoader : public QObject {
  Q_OBJECT

 public:
  explicit ThumbnailLoader(ThumbnailWork work = defaultThumbnailWork(),
                           int threads = ThumbnailPool::defaultThreadCount(), QObject* parent = nullptr);
  ~ThumbnailLoader() override;

  void setList(ListId list, const QStringList& paths, quint64 generation);
  enum class MissingIcon { OnItsWay, Released };
  void loadIcon(ListId list, int index);
  MissingIcon stillMissing(ListId list, int index);
  void setVisibleRange(ListId list, int first, int last);
  void prepareFirstScreen(const QStringList& paths, const QStringList& further = {});

  void setIconSize(int iconSize) { state_.iconSize = iconSize; }
  void setFastLoading(bool on) { state_.fastLoading = on; }
  void setSmartRelease(bool on) { state_.smartRelease = on; }
  const LoaderState& state() const { return state_; }

  // Icon memory allowed per list (kIconBudgetBytes unless set).
  void setIconBudget(qint64 bytes);
  qint64 heldIconBytes(ListId list) const;
  // Requests made from now on read and write the shared thumbnail cache (or leave it alone).
  void setThumbnailCache(bool on) { state_.thumbnailCache = on; }
  // Device pixels per layout pixel where the lists are shown: thumbnails are made that much larger
  // and carry the ratio, so they stay sharp while the layout keeps its sizes.
  void setPixelRatio(double ratio) { state_.pixelRatio = ratio; }
  // Icons of this width (layout pixels) are kept in our own icon cache while the shared cache is
  // on: the size the program started with. Sizes passed through with the slider are not, so a drag
  // over twenty notches writes nothing; a size that stays becomes the starting size of the next run.
  void setKeptIconSize(int iconSize) { state_.keptIconSize = iconSize; }

  bool isHeld(ListId list, int index) const;
  int inFlight() const { return pool_->inFlight(); }
  int waiting() const { return pool_->waiting(); }
  bool idle() const { return pool_->idle(); }

 Q_SIGNALS:
  void thumbnailReady(const pimrose::ThumbnailDelivery& delivery);

 private:
  void requestLoad(ListId list, int index);
  LoadRequest requestFor(ListId list, quint64 generation, int index, const QString& path) const;
  void markReleased(const std::vector<LoadRequest>& dropped);
  void forgetEarly(const std::vector<LoadRequest>& dropped);
  void feedEarly();
  void receiveArrived(std::vector<LoadResult>& results);
  void receive(const LoadResult& result);
  void logFailure(const LoadResult& result) const;

  LoaderState state_;
  Inbox<LoadResult> inbox_;
  EarlyThumbnails early_;
  // The pictures after the early round's first screen, fed to the loaders while the list waits.
  QStringList further_;
  qsizetype furtherFed_ = 0;
  bool earlyOpen_ = false;         // an early round has started and its list is not set yet
  bool firstScreenTaken_ = false;  // the loaders have taken every request of the round's first screen
  int threads_ = 1;
  std::unique_ptr<ThumbnailPool> pool_;
};

}  // namespace pimrose
