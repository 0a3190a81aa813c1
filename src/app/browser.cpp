#include "app/browser.h"

#include <QListView>
#include <QScrollBar>

#include "app/app_log.h"
#include "pictures/icon_size.h"
#include "pictures/picture_details.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

const QString kFileList = QStringLiteral("图标列表框_文件");
const QString kSearchList = QStringLiteral("图标列表框_搜索");
const QString kSearchBox = QStringLiteral("编辑框_搜索");
const QString kSearchButton = QStringLiteral("超级按钮_搜索");
const QString kSlider = QStringLiteral("滑块条_图标大小");
const QString kViewer = QStringLiteral("组件_图片背景");
const QString kLogo = QStringLiteral("图片框_logo居中");
const QString kStatusText = QStringLiteral("标签_提示文本");
const QString kFastLoading = QStringLiteral("选择框_快速加载");
const QString kSmartRelease = QStringLiteral("选择框_智能释放内存");
const QString kDropTimer = QStringLiteral("时钟_拖放路径");

}  // namespace

Browser::Browser(ui::Window& mainWindow, ThumbnailWork work)
    : window_(mainWindow),
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
  lists_.initIconSize(window_.control<ui::Slider>(kSlider)->position());
  loadingReady_ = true;
  applyOptions();
}

void Browser::applyOptions() {
  if (!loadingReady_) return;
  loader_.setFastLoading(window_.control<ui::CheckBox>(kFastLoading)->isChecked());
  loader_.setSmartRelease(window_.control<ui::CheckBox>(kSmartRelease)->isChecked());
  const int position = window_.control<ui::Slider>(kSlider)->position();
  if (iconSizeForSliderPosition(position) != lists_.iconSize()) lists_.setIconSizeFromSlider(position);
  loader_.setIconSize(lists_.iconSize());
}

void Browser::queueDroppedPath(const QString& path) {
  drops_.queuePath(path);
}

void Browser::connectControls() {
  connect(window_.control<ui::Timer>(kDropTimer), &ui::Timer::elapsed, &drops_, &DropQueue::tick);
  connect(&lists_, &EnumerationController::pictureListReplaced, this, &Browser::onPictureListReplaced);
  connect(&lists_, &EnumerationController::viewerHideRequested, this, &Browser::hideViewer);
  connect(&search_, &PictureSearch::searchListReplaced, this, &Browser::onSearchListReplaced);
  connect(&search_, &PictureSearch::searchModeChanged, this, &Browser::onSearchModeChanged);
  connect(&loader_, &ThumbnailLoader::thumbnailReady, this, &Browser::onThumbnailReady);

  auto* box = window_.control<ui::EditBox>(kSearchBox);
  search_.setSearchTextSource([box] { return box->text(); });
  connect(box, &ui::EditBox::keyMessage, &search_, &PictureSearch::onSearchKey);
  auto* button = window_.control<ui::ImageButton>(kSearchButton);
  connect(button, &ui::ImageButton::clicked, this,
          [this, button] { search_.onSearchButtonClicked(button->state()); });
  connect(window_.control<ui::Slider>(kSlider), &ui::Slider::positionChanged, this, [this](int position) {
    lists_.setIconSizeFromSlider(position);
    loader_.setIconSize(lists_.iconSize());
  });
  connect(window_.control<ui::CheckBox>(kFastLoading), &ui::CheckBox::toggled, this,
          [this](bool on) { loader_.setFastLoading(on); });
  connect(window_.control<ui::CheckBox>(kSmartRelease), &ui::CheckBox::toggled, this,
          [this](bool on) { loader_.setSmartRelease(on); });
  for (const QString& name : {kFileList, kSearchList})
    connect(window_.control<ui::IconList>(name), &ui::IconList::itemClicked, this,
            &Browser::ShowPictureDetails);
}

void Browser::installItemCallback(ListId id) {
  ui::IconList& list = iconList(id);
  list.setItemCallback([this, id](int event, int index, int subCode) {
    reportVisibleRange(id);
    return loader_.itemCallback(id, event, index, subCode);
  });
  connect(list.view()->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this, id] { reportVisibleRange(id); });
}

// Called for every item the list asks about; the loader re-ranks its queue only when the range moved.
void Browser::reportVisibleRange(ListId id) {
  const std::pair<int, int> range = iconList(id).visibleRange();
  std::pair<int, int>& reported = reportedRange_[id == ListId::Files ? 0 : 1];
  if (range.first < 0 || range == reported) return;
  reported = range;
  loader_.setVisibleRange(id, range.first, range.second);
}

ui::IconList& Browser::iconList(ListId id) const {
  return *window_.control<ui::IconList>(id == ListId::Files ? kFileList : kSearchList);
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
  reportedRange_[id == ListId::Files ? 0 : 1] = {-1, -1};
  loader_.setList(id, paths, generation);
}

void Browser::onPictureListReplaced(const OpenedList& list) {
  window_.control<ui::PictureBox>(kLogo)->hide();
  fillList(ListId::Files, list.pictures, list.itemSize, list.generation);
  hideViewer();
}

void Browser::onSearchListReplaced(const SearchListResult& list) {
  fillList(ListId::Search, list.matches, list.itemSize, list.generation);
  // Search mode is switched on after the list is filled, so the line comes from the matches themselves.
  if (!list.matches.isEmpty()) showDetailsLine(pictureDetailsLineForItem(list.matches, 0));
}

void Browser::onSearchModeChanged(bool on) {
  const bool searchEnds = !on && !iconList(ListId::Search).isHidden();
  window_.control<ui::ImageButton>(kSearchButton)->setState(on ? 1 : 0);
  iconList(ListId::Files).setVisible(!on);
  iconList(ListId::Search).setVisible(on);
  // The search text belongs to the search: it is not kept (nor saved) once the search ends. A search
  // that found nothing never began, and its text stays for the user to correct.
  if (searchEnds) window_.control<ui::EditBox>(kSearchBox)->setText(QString());
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
  window_.control<ui::EditBox>(kStatusText)->setText(line);
}

void Browser::hideViewer() {
  window_.control<ui::WindowSkin>(kViewer)->hide();
}

}  // namespace pimrose
