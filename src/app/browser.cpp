#include "app/browser.h"

#include <algorithm>

#include <QListView>
#include <QScrollBar>

#include "app/app_log.h"
#include "browsing/listing_progress_text.h"
#include "browsing/picture_details.h"
#include "commands/open_picture.h"
#include "commands/open_with_shell.h"
#include "thumbnails/icon_size.h"
#include "ui/check_box.h"
#include "ui/edit_box.h"
#include "ui/icon_list.h"
#include "ui/image_button.h"
#include "ui/picture_box.h"
#include "ui/slider.h"
#include "ui/timer.h"
#include "ui/window_skin.h"

namespace pimrose {

Browser::Browser(const ui::MainWindowControls& controls, ThumbnailWork work,
                 EnumerationController::Lister lister, DetailsReader::ReadLine readLine)
    : ui_(controls),
      lists_(std::move(lister)),
      search_(lists_),
      loader_(std::move(work)),
      drops_([this](const QStringList& paths) { lists_.openDropped(paths); }),
      viewer_(makeViewer()),
      details_(std::move(readLine)) {
  // The window's own drop timer drives the queue, and only while dropped paths wait.
  ui::Timer* dropTimer = ui_.时钟_拖放路径;
  dropTimer->stop();
  drops_.setTimerSwitch([dropTimer](bool run) { run ? dropTimer->start() : dropTimer->stop(); });
  // The walk of the batch starts once the drop event has queued all its paths; the drop timer still
  // decides when the list appears.
  drops_.setBatchGrown([this](const QStringList& paths) {
    lists_.prepareDropped(paths, firstScreenCount(lists_.iconSize()));
  });
  lists_.setNamePreparer([this](const QString& samples, std::function<void()> ready) {
    iconList(ListId::Files).prepareNames(samples, std::move(ready));
  });
  connectControls();
}

Browser::~Browser() = default;

// The viewer steps through the list that is shown, as the details line does.
std::unique_ptr<Viewer> Browser::makeViewer() {
  return std::make_unique<Viewer>(Viewer::Parts{
      ui_.组件_图片背景, ui_.图片框_图片容器, ui_.图片框_图片文件,
      [this] {
        return ViewerList{&iconList(search_.searchMode() ? ListId::Search : ListId::Files), shownList()};
      },
      [this](int index) { ShowPictureDetails(index); }});
}

void Browser::InitLoading() {
  installItemCallback(ListId::Files);
  installItemCallback(ListId::Search);
  lists_.initIconSize(ui_.滑块条_图标大小->position());
  loadingReady_ = true;
  applyOptions();
  loader_.setKeptIconSize(lists_.iconSize());
}

void Browser::applyOptions() {
  if (!loadingReady_) return;
  loader_.setFastLoading(ui_.选择框_快速加载->isChecked());
  loader_.setSmartRelease(ui_.选择框_智能释放内存->isChecked());
  const int position = ui_.滑块条_图标大小->position();
  if (iconSizeForSliderPosition(position) != lists_.iconSize()) lists_.setIconSizeFromSlider(position);
  loader_.setIconSize(lists_.iconSize());
  loader_.setThumbnailCache(ui_.选择框_缩略图缓存->isChecked());
  loader_.setPixelRatio(ui_.图标列表框_文件->devicePixelRatioF());
  lists_.setMoreFormats(ui_.选择框_更多格式->isChecked());
}

void Browser::queueDroppedPath(const QString& path) {
  drops_.queuePath(path);
}

// While the drop timer holds the batch back, the loaders make the thumbnails of its first screen,
// then go on with the next few screens as far as the wait lets them.
void Browser::prepareFirstScreen(const QStringList& pictures, QSize itemSize) {
  const int count = firstScreenCount(itemSize.width());
  loader_.prepareFirstScreen(pictures.mid(0, count), pictures.mid(count, qsizetype(count) * kFurtherScreens));
}

// About how many items the files list shows at the top: whole columns of the icon width, and rows
// of landscape thumbnails (three quarters as tall as wide) with one more row partly shown.
int Browser::firstScreenCount(int iconWidth) const {
  const QSize area = iconList(ListId::Files).view()->viewport()->size();
  const int width = std::max(1, iconWidth);
  const int columns = std::max(1, area.width() / width);
  const int rows = area.height() / std::max(1, width * 3 / 4) + 1;
  return columns * rows;
}

void Browser::connectControls() {
  connect(ui_.时钟_拖放路径, &ui::Timer::elapsed, &drops_, &DropQueue::tick);
  connect(&lists_, &EnumerationController::pictureListReplaced, this, &Browser::onPictureListReplaced);
  connect(&lists_, &EnumerationController::viewerHideRequested, this, &Browser::hideViewer);
  connect(&lists_, &EnumerationController::listingProgress, this, &Browser::showListingProgress);
  connect(&lists_, &EnumerationController::listingProgressEnded, this, &Browser::endListingProgress);
  connect(&lists_, &EnumerationController::dropListPrepared, this, &Browser::prepareFirstScreen);
  connect(&search_, &PictureSearch::searchListReplaced, this, &Browser::onSearchListReplaced);
  connect(&search_, &PictureSearch::searchModeChanged, this, &Browser::onSearchModeChanged);
  connect(&loader_, &ThumbnailLoader::thumbnailReady, this, &Browser::onThumbnailReady);
  connect(&details_, &DetailsReader::detailsReady, this, &Browser::showDetailsLine);

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
  connect(ui_.选择框_缩略图缓存, &ui::CheckBox::toggled, this,
          [this](bool on) { loader_.setThumbnailCache(on); });
  connect(ui_.选择框_更多格式, &ui::CheckBox::toggled, &lists_, &EnumerationController::setMoreFormats);
  for (ListId id : {ListId::Files, ListId::Search}) {
    ui::IconList* list = &iconList(id);
    connect(list, &ui::IconList::itemClicked, this, [this, id](int index) { onItemClicked(id, index); });
    connect(list, &ui::IconList::itemDoubleClicked, this,
            [this, id](int index) { openItem(id, index, kDoubleClickCode); });
    connect(list, &ui::IconList::itemMenuRequested, this, &Browser::pictureMenuRequested);
    // Enter is the keyboard's one way to open, whichever gesture the mouse opens with; a key that
    // moves the current item shows its details line, as a click does.
    connect(list, &ui::IconList::itemActivated, this,
            [this, id](int index) { openItem(id, index, kSingleClickCode); });
    connect(list, &ui::IconList::currentItemMoved, this, &Browser::ShowPictureDetails);
  }
}

// A click opens while double-click opening is off, and always shows the item's details line. The
// double-click that follows a click opens only while double-click opening is on, so never twice.
void Browser::onItemClicked(ListId id, int index) {
  if (!ui_.选择框_双击查看图片->isChecked()) openItem(id, index, kSingleClickCode);
  ShowPictureDetails(index);
}

void Browser::openItem(ListId id, int index, int code) {
  const OpenPictureOptions options{ui_.选择框_双击查看图片->isChecked(), ui_.选择框_内置看图->isChecked()};
  const QStringList& paths = id == ListId::Search ? search_.searchList() : lists_.pictureList();
  OpenPicture(paths, index, code, options,
              {[this](int at) { viewer_->open(at); },
               [this](const QString& path) {
                 openWithShellInBackground(openings_, path);
                 return true;
               }});
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

bool Browser::searchListShown() const {
  return !ui_.图标列表框_搜索->isHidden();
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
  details_.dropPending();
  // The window may have moved to a screen of another pixel ratio since the last list.
  loader_.setPixelRatio(ui_.图标列表框_文件->devicePixelRatioF());
  fillList(ListId::Files, list.pictures, list.itemSize, list.generation);
  hideViewer();
}

void Browser::onSearchListReplaced(const SearchListResult& list) {
  fillList(ListId::Search, list.matches, list.itemSize, list.generation);
  // Search mode is switched on after the list is filled, so the line comes from the matches themselves.
  if (list.matches.isEmpty())
    details_.dropPending();
  else
    details_.request(list.matches, 0);
}

void Browser::onSearchModeChanged(bool on) {
  const bool searchEnds = !on && !iconList(ListId::Search).isHidden();
  ui_.超级按钮_搜索->setState(on ? 1 : 0);
  iconList(ListId::Files).setVisible(!on);
  iconList(ListId::Search).setVisible(on);
  // The search text belongs to the search: it is not kept (nor saved) once the search ends. A search
  // that found nothing never began, and its text stays for the user to correct.
  if (searchEnds) ui_.编辑框_搜索->setText(QString());
}

// Each change repaints only its own cell, and all of them together at the next paint: locking the
// list's updates around them repainted the whole list for every thumbnail instead.
void Browser::onThumbnailReady(const ThumbnailDelivery& delivery) {
  ui::IconList& list = iconList(delivery.list);
  list.setItemSize(delivery.index, delivery.thumbnailHeight);
  list.setItemIcon(delivery.index, delivery.image);
  for (int released : delivery.released) list.setItemIcon(released, QImage());
}

void Browser::ShowPictureDetails(int index) {
  details_.request(shownList(), index);
}

// A line written while a listing's progress shows is what stays when the progress goes.
void Browser::showDetailsLine(const QString& line) {
  qCDebug(lcApp).noquote() << "details:" << line;
  textBeforeProgress_.reset();
  ui_.标签_提示文本->setText(line);
}

void Browser::showListingProgress(qsizetype found) {
  if (!textBeforeProgress_) textBeforeProgress_ = ui_.标签_提示文本->text();
  ui_.标签_提示文本->setText(listingProgressText(found));
}

void Browser::endListingProgress() {
  if (!textBeforeProgress_) return;
  ui_.标签_提示文本->setText(*textBeforeProgress_);
  textBeforeProgress_.reset();
}

void Browser::hideViewer() {
  ui_.组件_图片背景->hide();
}

}  // namespace pimrose
