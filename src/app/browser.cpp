#include "app/browser.h"

#include <QListView>
#include <QScrollBar>

#include "app/app_log.h"
#include "browsing/picture_details.h"
#include "ui/check_box.h"
#include "ui/edit_box.h"
#include "ui/icon_list.h"
#include "ui/image_button.h"
#include "ui/picture_box.h"
#include "ui/slider.h"
#include "ui/timer.h"
#include "ui/window_skin.h"

namespace pimrose {

Browser::Browser(const ui::MainWindowControls& controls, ThumbnailWork work)
    : ui_(controls),
      search_(lists_),
      loader_(std::move(work)),
      drops_([this](const QStringList& paths) { lists_.openDropped(paths); }) {
  // The window's own drop timer drives the queue.
  drops_.timer().stop();
  connectControls();
}

Browser::~Browser() = default;

void Browser::InitLoading() {
  installItemCallback(ListId::Files);
  installItemCallback(ListId::Search);
  lists_.initIconSize(ui_.滑块条_图标大小->position());
  loader_.setIconSize(lists_.iconSize());
  loader_.setFastLoading(ui_.选择框_快速加载->isChecked());
  loader_.setSmartRelease(ui_.选择框_智能释放内存->isChecked());
  loader_.setPixelRatio(ui_.图标列表框_文件->devicePixelRatioF());
  lists_.setMoreFormats(ui_.选择框_更多格式->isChecked());
}

void Browser::queueDroppedPath(const QString& path) {
  drops_.queuePath(path);
}

void Browser::connectControls() {
  connect(ui_.时钟_拖放路径, &ui::Timer::elapsed, &drops_, &DropQueue::tick);
  connect(&lists_, &EnumerationController::pictureListReplaced, this, &Browser::onPictureListReplaced);
  connect(&lists_, &EnumerationController::viewerHideRequested, this, &Browser::hideViewer);
  connect(&search_, &PictureSearch::searchListReplaced, this, &Browser::onSearchListReplaced);
  connect(&search_, &PictureSearch::searchModeChanged, this, &Browser::onSearchModeChanged);
  connect(&loader_, &ThumbnailLoader::thumbnailReady, this, &Browser::onThumbnailReady);

  auto* box = ui_.编辑框_搜索;
  search_.setSearchTextSource([box] { return box->text(); });
  connect(box, &ui::EditBox::keyReleased, &search_, &PictureSearch::onSearchKeyReleased);
  auto* button = ui_.超级按钮_搜索;
  connect(button, &ui::ImageButton::clicked, this,
          [this, button] { search_.onSearchButtonClicked(button->state()); });
  connect(ui_.滑块条_图标大小, &ui::Slider::positionChanged, this, [this](int position) {
    lists_.setIconSizeFromSlider(position);
    loader_.setIconSize(lists_.iconSize());
  });
  connect(ui_.选择框_快速加载, &ui::CheckBox::toggled, this, [this](bool on) { loader_.setFastLoading(on); });
  connect(ui_.选择框_智能释放内存, &ui::CheckBox::toggled, this,
          [this](bool on) { loader_.setSmartRelease(on); });
  connect(ui_.选择框_更多格式, &ui::CheckBox::toggled, &lists_, &EnumerationController::setMoreFormats);
  for (ui::IconList* list : {ui_.图标列表框_文件, ui_.图标列表框_搜索})
    connect(list, &ui::IconList::itemClicked, this, &Browser::ShowPictureDetails);
}

void Browser::installItemCallback(ListId id) {
  ui::IconList& list = iconList(id);
  list.setItemCallback([this, id](ui::IconList::IconQuestion question, int index) {
    reportVisibleRange(id);
    if (question == ui::IconList::IconQuestion::NeedsIcon) {
      loader_.loadIcon(id, index);
      return ui::IconList::IconAnswer::OnItsWay;
    }
    return loader_.stillMissing(id, index) == ThumbnailLoader::MissingIcon::Released
               ? ui::IconList::IconAnswer::Released
               : ui::IconList::IconAnswer::OnItsWay;
  });
  connect(list.view()->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this, id] { reportVisibleRange(id); });
}

// Called for every item the list asks about; the loader re-ranks its queue only when the range moved.
void Browser::reportVisibleRange(ListId id) {
  const std::pair<int, int> range = iconList(id).visibleRange();
  std::pair<int, int>& reported = reportedRange_[listSlot(id)];
  if (range.first < 0 || range == reported) return;
  reported = range;
  loader_.setVisibleRange(id, range.first, range.second);
}

ui::IconList& Browser::iconList(ListId id) const {
  return *(id == ListId::Files ? ui_.图标列表框_文件 : ui_.图标列表框_搜索);
}

const QStringList& Browser::shownList() const {
  return search_.searchMode() ? search_.searchList() : lists_.pictureList();
}

void Browser::fillList(ListId id, const QStringList& paths, QSize itemSize, quint64 generation) {
  ui::IconList& list = iconList(id);
  list.lockUpdate();
  list.setIconWidth(itemSize.width());
  list.setIconHeight(itemSize.height());
  list.resetItems(paths);  // delete every item, then one empty item per picture, in one insertion
  list.unlockUpdate();
  reportedRange_[listSlot(id)] = {-1, -1};
  loader_.setList(id, paths, generation);
}

void Browser::onPictureListReplaced(const OpenedList& list) {
  ui_.图片框_logo居中->hide();
  // The window may have moved to a screen of another pixel ratio since the last list.
  loader_.setPixelRatio(ui_.图标列表框_文件->devicePixelRatioF());
  fillList(ListId::Files, list.pictures, list.itemSize, list.generation);
  hideViewer();
}

void Browser::onSearchListReplaced(const SearchListResult& list) {
  fillList(ListId::Search, list.matches, list.itemSize, list.generation);
  // Search mode is switched on after the list is filled, so the line comes from the matches themselves.
  if (!list.matches.isEmpty()) showDetailsLine(pictureDetailsLineForItem(list.matches, 0));
}

void Browser::onSearchModeChanged(bool on) {
  ui_.超级按钮_搜索->setState(on ? 1 : 0);
  iconList(ListId::Files).setVisible(!on);
  iconList(ListId::Search).setVisible(on);
}

void Browser::onThumbnailReady(const ThumbnailDelivery& delivery) {
  ui::IconList& list = iconList(delivery.list);
  list.lockUpdate();
  list.setItemSize(delivery.index, delivery.thumbnailHeight);
  list.setItemIcon(delivery.index, delivery.image);
  for (int released : delivery.released) list.setItemIcon(released, QImage());
  list.unlockUpdate();
}

void Browser::ShowPictureDetails(int index) {
  showDetailsLine(pictureDetailsLineForItem(shownList(), index));
}

void Browser::showDetailsLine(const QString& line) {
  ui_.标签_提示文本->setText(line);
}

void Browser::hideViewer() {
  ui_.组件_图片背景->hide();
}

}  // namespace pimrose
