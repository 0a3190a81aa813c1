#include "ui/icon_list.h"

#include <algorithm>
#include <utility>

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListView>
#include <QScrollBar>

#include "ui/icon_list_delegate.h"
#include "ui/icon_list_model.h"

namespace pimrose::ui {
namespace {

// The view with the list's keyboard: Enter opens the current item, and a key that moves the
// current item says so (a move made by code or by the pointer does not).
class KeyedListView : public QListView {
 public:
  KeyedListView(QWidget* parent, std::function<void(int)> moved, std::function<void(int)> opened)
      : QListView(parent), moved_(std::move(moved)), opened_(std::move(opened)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QModelIndex before = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && before.isValid()) {
      opened_(before.row());
      return;
    }
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid()) moved_(currentIndex().row());
  }

 private:
  std::function<void(int)> moved_;
  std::function<void(int)> opened_;
};

}  // namespace

IconList::IconList(const ControlDefinition& definition, QWidget* parent)
    : Control(definition, parent),
      model_(new IconListModel(this)),
      view_(new KeyedListView(
          this, [this](int index) { Q_EMIT currentItemMoved(index); },
          [this](int index) { Q_EMIT itemActivated(index); })),
      delegate_(new IconListDelegate(this)) {
  view_->setViewMode(QListView::ListMode);
  view_->setFlow(QListView::LeftToRight);
  view_->setWrapping(true);
  view_->setResizeMode(QListView::Adjust);
  view_->setUniformItemSizes(true);
  view_->setLayoutMode(QListView::SinglePass);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  view_->verticalScrollBar()->setSingleStep(40);
  view_->setMouseTracking(true);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  // A thumbnail pressed and moved past the drag distance leaves as its file; a press that does
  // not move stays a click.
  view_->setDragEnabled(true);
  view_->setDragDropMode(QAbstractItemView::DragOnly);
  view_->setDefaultDropAction(Qt::CopyAction);
  view_->setItemDelegate(delegate_);
  view_->setModel(model_);
  view_->setFrameShape(QFrame::NoFrame);
  view_->setContentsMargins(8, 8, 8, 8);
  view_->setGeometry(rect());
  updateGrid();
  connect(view_, &QListView::clicked, this, [this](const QModelIndex& at) { Q_EMIT itemClicked(at.row()); });
  connect(view_, &QListView::doubleClicked, this,
          [this](const QModelIndex& at) { Q_EMIT itemDoubleClicked(at.row()); });
  connect(view_, &QListView::customContextMenuRequested, this, [this](QPoint at) {
    const QModelIndex index = view_->indexAt(at);
    if (!index.isValid()) return;
    view_->setCurrentIndex(index);
    Q_EMIT itemMenuRequested(index.row());
  });
  frame_.setSingleShot(true);
  frame_.setInterval(kFrameMs);
  connect(&frame_, &QTimer::timeout, this, &IconList::repaintChangedCells);
  connect(model_, &IconListModel::cellChanged, this, &IconList::cellChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    shownWithoutIcon_.clear();
    changedCells_.clear();
    ++generation_;
    if (tallest_ == 0) return;
    tallest_ = 0;
    updateGrid();
  });
}

IconList::~IconList() = default;

int IconList::insertItems(int count, int at) {
  const int first = (at < 0 || at > itemCount()) ? itemCount() : at;
  model_->insertItems(count, first);
  return first;
}

void IconList::resetItems(int count) {
  model_->resetItems(count);
}

void IconList::resetItems(const QStringList& paths) {
  model_->resetItems(paths);
}

void IconList::deleteItem(int index) {
  if (index < 0)
    resetItems(0);
  else
    model_->removeItem(index);
}

int IconList::itemCount() const {
  return model_->count();
}

void IconList::setItemIcon(int index, const QImage& image) {
  model_->setIcon(index, image);
}
bool IconList::itemHasIcon(int index) const {
  return model_->hasIcon(index);
}
void IconList::setItemSize(int index, int height) {
  model_->setHeight(index, height);
  if (height <= tallest_ || !model_->contains(index)) return;
  tallest_ = height;
  // Thumbnails arrive in bursts; the layout follows once for the whole burst.
  if (growQueued_) return;
  growQueued_ = true;
  QMetaObject::invokeMethod(this, &IconList::growCells, Qt::QueuedConnection);
}

void IconList::growCells() {
  growQueued_ = false;
  if (view_->gridSize() != cellSize()) updateGrid();
}

QSize IconList::cellSize() const {
  return delegate_->cellSize();
}
int IconList::itemSize(int index) const {
  return model_->height(index);
}
void IconList::setItemPath(int index, const QString& path) {
  model_->setPath(index, path);
}
QString IconList::itemPath(int index) const {
  return model_->path(index);
}

void IconList::setIconWidth(int width) {
  iconWidth_ = std::max(16, width);
  updateGrid();
}

void IconList::setIconHeight(int height) {
  iconHeight_ = std::max(16, height);
  updateGrid();
}

// Laying out a million items takes the view some 20 ms: only a new cell size is worth it.
void IconList::updateGrid() {
  const QSize cell = delegate_->cellSize();
  if (view_->gridSize() == cell) return;
  view_->setGridSize(cell);
  view_->setSpacing(0);
  view_->doItemsLayout();
}

void IconList::prepareNames(const QString& samples, std::function<void()> ready) {
  if (namesReady_) std::exchange(namesReady_, {})();
  namesToPrepare_ = samples;
  namesPrepared_ = 0;
  namesReady_ = std::move(ready);
  QMetaObject::invokeMethod(this, &IconList::prepareNextName, Qt::QueuedConnection);
}

// The names are painted on the viewport, so its metrics pick the same font engine.
void IconList::prepareNextName() {
  if (!namesReady_) return;
  if (namesPrepared_ >= namesToPrepare_.size()) {
    std::exchange(namesReady_, {})();
    return;
  }
  const qsizetype length = namesToPrepare_[namesPrepared_].isHighSurrogate() ? 2 : 1;
  QFontMetrics(font(), view_->viewport()).horizontalAdvance(namesToPrepare_.mid(namesPrepared_, length));
  namesPrepared_ += length;
  QMetaObject::invokeMethod(this, &IconList::prepareNextName, Qt::QueuedConnection);
}

void IconList::setCurrentIndex(int index) {
  if (!model_->contains(index)) {
    view_->selectionModel()->clear();
    view_->setCurrentIndex({});
    return;
  }
  view_->setCurrentIndex(model_->index(index));
}

int IconList::currentIndex() const {
  const QModelIndex current = view_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void IconList::guaranteeVisible(int index) {
  if (model_->contains(index)) view_->scrollTo(model_->index(index));
}

void IconList::lockUpdate() {
  Control::lockUpdate();
  view_->viewport()->setUpdatesEnabled(false);
}

void IconList::unlockUpdate() {
  Control::unlockUpdate();
  if (updatesLocked()) return;
  view_->viewport()->setUpdatesEnabled(true);
  view_->viewport()->update();
}

void IconList::resizeEvent(QResizeEvent* event) {
  Control::resizeEvent(event);
  view_->setGeometry(rect());
}

void IconList::itemPainted(int index) {
  if (model_->hasIcon(index)) return;
  shownWithoutIcon_.push_back(index);
  if (askQueued_) return;
  askQueued_ = true;
  QMetaObject::invokeMethod(this, &IconList::askForIcons, Qt::QueuedConnection);
}

// Cells are laid out row by row, so their tops never decrease with the index: both ends are found
// by halving. A paint does not tell the range, since one arriving thumbnail repaints only its cell
// and a small scroll only the rows it uncovers.
std::pair<int, int> IconList::visibleRange() const {
  const int count = model_->count();
  const QRect area = view_->viewport()->rect();
  if (count == 0 || area.isEmpty() || !view_->isVisible()) return {-1, -1};
  const auto cell = [this](int index) { return view_->visualRect(model_->index(index)); };
  const auto firstWhere = [count](auto passes) {
    int low = 0, high = count;  // the first index in [low, high) that passes, or count
    while (low < high) {
      const int middle = low + (high - low) / 2;
      if (passes(middle))
        high = middle;
      else
        low = middle + 1;
    }
    return low;
  };
  const int first = firstWhere([&](int i) { return cell(i).bottom() >= area.top(); });
  const int afterLast = firstWhere([&](int i) { return cell(i).top() > area.bottom(); });
  if (first >= afterLast) return {-1, -1};
  return {first, afterLast - 1};
}

// A cell that changes while no frame runs is repainted at once and starts one; the cells that change
// within it are repainted together when it is over. A folder filling from the thumbnail cache
// delivers an icon every fraction of a millisecond, and each repaint of the list also paints the
// window under it: one repaint a frame is all the screen can show anyway.
void IconList::cellChanged(int index) {
  if (frame_.isActive()) {
    changedCells_.push_back(index);
    return;
  }
  view_->update(model_->index(index));
  frame_.start();
}

void IconList::repaintChangedCells() {
  if (changedCells_.empty()) return;
  for (const int index : std::exchange(changedCells_, {})) view_->update(model_->index(index));
  frame_.start();
}

void IconList::askForIcons() {
  askQueued_ = false;
  std::vector<int> pending;
  pending.swap(shownWithoutIcon_);
  std::sort(pending.begin(), pending.end());
  pending.erase(std::unique(pending.begin(), pending.end()), pending.end());
  // The callback may serve events that reset the list; indexes of an older list are dropped.
  const unsigned generation = generation_;
  for (int index : pending) {
    if (generation != generation_) return;
    ask(index);
  }
}

void IconList::ask(int index) {
  if (!callback_ || !model_->contains(index) || model_->hasIcon(index)) return;
  if (!model_->asked(index)) {
    model_->setAsked(index, true);
    callback_(IconQuestion::NeedsIcon, index);
    return;
  }
  if (callback_(IconQuestion::StillMissing, index) != IconAnswer::Released) return;
  model_->setAsked(index, true);
  callback_(IconQuestion::NeedsIcon, index);
}

}  // namespace pimrose::ui
