#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QStringList>

#include "pictures/enumerate_pictures.h"
#include "pictures/icon_size.h"

// Opening paths: the file list of the main window (PictureList), the paths last opened
// (OpenedPaths) and the icon size.
//
// openPaths lists the paths on a worker thread, so a huge or slow tree never freezes the window;
// the list appears only once the listing is complete, and a newer open (a drop, a slider change)
// supersedes an unfinished one, whose result is thrown away. Each replaced list gets a new
// generation number; loaders use it to drop results meant for an older list.
//
// Seams for the program (all on the UI thread):
//   pictureListReplaced(list): something was found. Hide the centred logo for good, delete every
//     item of the file icon list, set its item size to list.itemSize, insert list.pictures.size()
//     empty items, hide the picture viewer, leave search mode (PictureSearch does that itself),
//     and give the loader the new list (ThumbnailLoader::setList).
//   openFoundNothing(afterIconSizeChange): nothing was found; the list on screen stays.
//   viewerHideRequested(): a slider change hides the viewer at once.

namespace pimrose {

struct OpenedList {
  quint64 generation = 0;
  QStringList pictures;  // the new PictureList: everything found, reversed
  QSize itemSize;        // IconSize wide, 2 x IconSize tall
};

class EnumerationController : public QObject {
  Q_OBJECT

 public:
  explicit EnumerationController(QObject* parent = nullptr);
  ~EnumerationController() override;

  // At start-up: IconSize from the slider, without opening anything.
  void initIconSize(int sliderPosition);
  // The slider moved: new IconSize, viewer hidden, OpenedPaths listed again from disk.
  void setIconSizeFromSlider(int sliderPosition);

  void openPaths(const QStringList& paths);
  // A processed drop: open the batch and make it OpenedPaths (even when it holds no folder).
  void openDropped(const QStringList& paths);

  int iconSize() const { return iconSize_; }
  QSize itemSize() const;
  const QStringList& pictureList() const { return pictureList_; }
  quint64 generation() const { return listGeneration_; }
  const QStringList& openedPaths() const { return openedPaths_; }
  bool isListing() const { return listing_ != 0; }
  bool logoHidden() const { return logoHidden_; }

 Q_SIGNALS:
  void pictureListReplaced(const pimrose::OpenedList& list);
  void openFoundNothing(bool afterIconSizeChange);
  void viewerHideRequested();

 private:
  struct Listing {
    quint64 request = 0;
    QStringList paths;
    bool afterIconSizeChange = false;
    QElapsedTimer clock;
  };

  struct Finished {
    Listing listing;
    QStringList pictures;
  };

  void startListing(const QStringList& paths, bool afterIconSizeChange);
  void finishListing(const Listing& listing, const QStringList& pictures);
  void work();
  void takeFinished();

  // One worker lists; only the newest request matters, so a new one replaces a waiting one and
  // cancels the one being listed. Hand-over in both directions goes through `mutex_`.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Listing> waiting_;
  std::vector<Finished> finished_;
  CancelFlag cancelCurrent_{false};
  bool stopping_ = false;
  std::thread worker_;
  quint64 lastRequest_ = 0;
  quint64 listGeneration_ = 0;
  int listing_ = 0;
  int iconSize_ = kDefaultIconSize;
  bool logoHidden_ = false;
  QStringList pictureList_;
  QStringList openedPaths_;
};

}  // namespace pimrose
