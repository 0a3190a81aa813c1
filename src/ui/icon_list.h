#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QImage>
#include <QTimer>

#include "ui/control.h"

class QListView;

namespace pimrose::ui {

class IconListModel;
class IconListDelegate;

// IcoListboxEx: a grid of thumbnails with file names, for lists of 100,000 items and more.
//
// Icons are supplied on demand through the item callback: when the list shows item i without an
// icon, it calls callback(NeedsIcon, i) once (the answer is ignored) and marks the item as asked.
// Shown again while still without an icon, it calls callback(StillMissing, i): the answer Released
// means the icon was released and must be asked for again, so NeedsIcon follows at once; OnItsWay
// means wait.
// Resetting the items clears every mark. Calls are made from the event loop just after the paint
// that showed the items, never from inside painting, so the callback may serve events.
class IconList : public Control {
  Q_OBJECT

 public:
  enum class IconQuestion { NeedsIcon, StillMissing };
  enum class IconAnswer { OnItsWay, Released };
  using ItemCallback = std::function<IconAnswer(IconQuestion question, int index)>;

  IconList(const ControlDefinition& definition, QWidget* parent);
  ~IconList() override;

  void setItemCallback(ItemCallback callback) { callback_ = std::move(callback); }

  // Items. Insert: `count` empty items before `at` (at < 0: at the end); answers the first index.
  int insertItems(int count, int at = -1);
  void resetItems(int count);
  // One empty item per path, in one step (a listing of 100,000 pictures fills at once).
  void resetItems(const QStringList& paths);
  void deleteItem(int index);  // index < 0: every item
  int itemCount() const;

  // The UI thread takes the picture; an empty image releases the item's memory.
  void setItemIcon(int index, const QImage& image);
  bool itemHasIcon(int index) const;
  void setItemSize(int index, int height);
  int itemSize(int index) const;
  void setItemPath(int index, const QString& path);
  QString itemPath(int index) const;

  // Cell geometry: the icon width (and the tallest item height the list gives room for).
  void setIconWidth(int width);
  int iconWidth() const { return iconWidth_; }
  void setIconHeight(int height);
  int iconHeight() const { return iconHeight_; }
  // The tallest item height set since the items were last reset; cells grow to it (up to the
  // icon height) once the events queued so far have been served.
  int tallestItem() const { return tallest_; }
  QSize cellSize() const;

  // The current item; an index out of range selects nothing and reads back -1.
  void setCurrentIndex(int index);
  int currentIndex() const;
  void guaranteeVisible(int index);
  // First and last index whose cells lie (partly) inside the list's visible area now, from the
  // layout; {-1, -1} while nothing is shown.
  std::pair<int, int> visibleRange() const;

  // Lays each character of `samples` out in the list's font, one per turn of the event loop, then
  // calls `ready`: a font that lacks a writing system looks for a fallback font the first time it
  // meets it (up to 20 ms each), and a first paint meeting many would hold the window for all of
  // them. A newer call lets an older one's `ready` go at once; every `ready` is called exactly once.
  void prepareNames(const QString& samples, std::function<void()> ready);

  QListView* view() const { return view_; }
  IconListModel* model() const { return model_; }

  void lockUpdate();
  void unlockUpdate();

 Q_SIGNALS:
  void itemClicked(int index);
  void itemMenuRequested(int index);
  void itemDoubleClicked(int index);
  // The keyboard drives the grid: arrows, Home/End and the page keys move the current item (this
  // tells where it went), Enter or Return opens it.
  void currentItemMoved(int index);
  void itemActivated(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class IconListDelegate;
  static constexpr int kFrameMs = 16;  // about a frame of a 60 Hz screen
  void itemPainted(int index);
  void cellChanged(int index);
  void repaintChangedCells();
  void askForIcons();
  void ask(int index);
  void updateGrid();
  void growCells();
  void prepareNextName();

  IconListModel* model_;
  QListView* view_;
  IconListDelegate* delegate_;
  ItemCallback callback_;
  std::vector<int> shownWithoutIcon_;
  // Cells changed since the last frame's repaint, repainted together when the frame is over.
  std::vector<int> changedCells_;
  QTimer frame_;
  bool askQueued_ = false;
  unsigned generation_ = 0;
  int iconWidth_ = 128;
  int iconHeight_ = 128;
  int tallest_ = 0;
  bool growQueued_ = false;
  QString namesToPrepare_;
  qsizetype namesPrepared_ = 0;
  std::function<void()> namesReady_;
};

}  // namespace pimrose::ui
