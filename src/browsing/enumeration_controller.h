#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QTimer>

#include "browsing/enumerate_pictures.h"
#include "platform/worker_inbox.h"
#include "thumbnails/icon_size.h"

// Opening paths. The controller keeps the picture list (pictureList()), the paths last opened
// (openedPaths()) and the icon size (iconSize()).
//
// openPaths lists the paths on a worker thread, so a huge or slow tree never freezes the caller;
// the list is replaced only once the listing is complete, and a newer open (a drop, a new icon
// size) supersedes an unfinished one, whose result is thrown away. A walk cut short that way drops
// what it found on the worker and gives the freed memory back to the system at once. Each replaced
// list gets a new generation number; loaders use it to drop results meant for an older list.
//
// Signals (all on the UI thread):
//   pictureListReplaced(list): a listing found pictures and they are now the picture list; `list`
//     carries them with their generation and the item size to show them at. From then on
//     logoHidden() is true. PictureSearch leaves search mode on this signal by itself.
//   openFoundNothing(afterIconSizeChange): a listing found nothing; the picture list stays.
//   viewerHideRequested(): the icon size changed, so a picture shown at the old size is stale.
//   listingProgress(found): a listing has run longer than the progress delay and has found `found`
//     pictures so far; repeated every progress interval while it runs (never per file).
//   listingProgressEnded(): the listing that showed progress is over (emitted before its
//     pictureListReplaced or openFoundNothing); only after at least one listingProgress.
//   dropListPrepared(pictures, itemSize): a listing started by prepareDropped can tell what
//     openDropped will show first: `pictures` begins that list (if the batch stays as it is). Its
//     first screenful as soon as the walk can tell it (FirstPictures), whether or not openDropped
//     has come meanwhile; and the whole list when the walk has finished and is held back (a second
//     time when the first screenful was told).
//
// prepareDropped lets the walk of a dropped batch start while the drop timer still holds the batch
// back: the result is listed like any other but shown only when openDropped comes with the same
// paths (and the same picture types), so the list still appears when the drop queue opens the
// batch, only without the wait for the walk. Any other open supersedes the prepared listing.

namespace pimrose {

struct OpenedList {
  quint64 generation = 0;
  QStringList pictures;  // everything found, reversed
  QSize itemSize;        // iconSize() wide, twice as tall
};

class EnumerationController : public QObject {
  Q_OBJECT

 public:
  // What the worker runs for one listing: listPictures, or a stand-in in tests. `summary` is as
  // listPictures leaves it; a lister that does not fill it in tells nothing about the names.
  using Lister =
      std::function<QStringList(const QStringList& paths, const CancelFlag* cancel, FoundCount* found,
                                const QString& types, const FirstPictures& first, WalkSummary* summary)>;

  // Prepares the list's font for the writing systems in `samples` (writingSystemSamples), then
  // calls `ready`, exactly once, on the UI thread.
  using NamePreparer = std::function<void(const QString& samples, std::function<void()> ready)>;

  static constexpr std::chrono::milliseconds kProgressDelay{300};
  static constexpr std::chrono::milliseconds kProgressInterval{250};

  // An empty lister means listPictures.
  explicit EnumerationController(Lister lister = {}, QObject* parent = nullptr);
  ~EnumerationController() override;

  // The first icon size, from a slider position, without opening anything.
  void initIconSize(int sliderPosition);
  // A new slider position: a new icon size, viewerHideRequested, and openedPaths() listed again
  // from disk.
  void setIconSizeFromSlider(int sliderPosition);

  // A listing whose file names use writing systems beyond ASCII is published only once `preparer`
  // has readied the list's font for them; it is still listing meanwhile. None: at once.
  void setNamePreparer(NamePreparer preparer) { namePreparer_ = std::move(preparer); }

  void openPaths(const QStringList& paths);
  // Whether the extra plugin formats count as pictures; a change lists openedPaths() again.
  void setMoreFormats(bool on);
  bool moreFormats() const { return moreFormats_; }
  // A batch of dropped paths: open it and make it openedPaths() (even when it holds no folder).
  void openDropped(const QStringList& paths);
  // The batch the drop queue holds now: list it in the background, shown by openDropped only; its
  // first `firstScreen` pictures are told ahead of the listing when the walk can tell them.
  void prepareDropped(const QStringList& paths, qsizetype firstScreen = 0);

  int iconSize() const { return iconSize_; }
  QSize itemSize() const;
  const QStringList& pictureList() const { return pictureList_; }
  quint64 generation() const { return listGeneration_; }
  const QStringList& openedPaths() const { return openedPaths_; }
  bool isListing() const { return listing_ != 0; }
  // How many paths the listings asked for so far held together: what opening and preparing have
  // cost the walker. A drop counts its paths once however they arrive; a new icon size counts the
  // opened paths again.
  quint64 requestedPaths() const { return requestedPaths_; }
  bool logoHidden() const { return logoHidden_; }

 Q_SIGNALS:
  void pictureListReplaced(const pimrose::OpenedList& list);
  void openFoundNothing(bool afterIconSizeChange);
  void viewerHideRequested();
  void listingProgress(qsizetype found);
  void listingProgressEnded();
  void dropListPrepared(const QStringList& pictures, QSize itemSize);

 private:
  struct Listing {
    quint64 request = 0;
    QStringList paths;
    QString types;  // a copy for the worker
    bool afterIconSizeChange = false;
    QElapsedTimer clock;
    bool held = false;          // prepared for a drop: shown only once openDropped adopts it
    qsizetype firstScreen = 0;  // pictures to tell ahead of the listing
  };

  struct FirstFound {
    quint64 request = 0;
    QStringList pictures;
  };

  struct Finished {
    Listing listing;
    QStringList pictures;
    QString writingSystems;  // writingSystemSamples of the pictures
  };

  void startListing(const QStringList& paths, bool afterIconSizeChange, bool held = false,
                    qsizetype firstScreen = 0);
  void takeFirstFound(const FirstFound& first);
  bool adoptPrepared(const QStringList& paths);
  void finishListing(const Finished& done);
  void publishWhenNamesReady(const Finished& done);
  void publish(const Listing& listing, const QStringList& pictures);
  // Only the newest request matters: a new one replaces a waiting one and cancels the one being
  // listed. A listing taken starts uncancelled and with nothing found.
  struct Newest {
    using Job = Listing;
    Newest(CancelFlag* cancelFlag, FoundCount* foundCount) : cancel(cancelFlag), found(foundCount) {}
    CancelFlag* cancel;
    FoundCount* found;
    std::optional<Listing> waiting;
    std::optional<Listing> take();
    void finished(const Listing&) {}
    void stop();
  };

  Finished list(Listing& listing);
  void takeFinished(std::vector<Finished>& finished);
  void reportProgress();
  void endProgress();

  CancelFlag cancelCurrent_{false};
  FoundCount found_{0};
  Lister lister_;
  NamePreparer namePreparer_;
  QTimer progressTimer_;
  bool progressShown_ = false;
  quint64 lastRequest_ = 0;
  quint64 requestedPaths_ = 0;
  quint64 listGeneration_ = 0;
  int listing_ = 0;
  int iconSize_ = kDefaultIconSize;
  bool logoHidden_ = false;
  bool moreFormats_ = false;
  QStringList pictureList_;
  QStringList openedPaths_;
  // The prepared listing (request 0: none) and, once it has finished unadopted, its result.
  quint64 heldRequest_ = 0;
  QStringList heldPaths_;
  QString heldTypes_;
  std::optional<Finished> heldResult_;
  quint64 adoptedRequest_ = 0;  // a prepared listing adopted before it finished
  quint64 firstTold_ = 0;       // the newest listing whose first pictures were told, or that finished
  // Before the worker, which puts into it.
  Inbox<FirstFound> firstFound_;
  // Last: its thread goes first.
  Worker<Newest, Finished> worker_;
};

}  // namespace pimrose
