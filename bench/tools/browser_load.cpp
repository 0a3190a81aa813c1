#include "tools/browser_load.h"

#include <algorithm>
#include <thread>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QSlider>

#include "app/browser.h"
#include "browsing/enumerate_pictures.h"
#include "thumbnails/icon_size.h"
#include "thumbnails/thumbnail_pool.h"
#include "tools/process_stats.h"
#include "tools/reference_thumbnail.h"
#include "ui/icon_list.h"
#include "ui/icon_list_model.h"
#include "ui/main_window_controls.h"
#include "ui/main_window_metrics.h"
#include "ui/slider.h"
#include "ui/timer.h"
#include "ui/window.h"

namespace pimrose::bench {
namespace {

// Lets the window get its first paint before the clock starts.
void settle() {
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Wall time of the reference thumbnail of every file, the files shared out among `threads` threads.
double referenceDecodeWallMs(const QStringList& files, int threads, int iconWidth) {
  std::vector<QByteArray> bytes;
  for (const QString& file : files) {
    QFile f(file);
    bytes.push_back(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
  }
  QElapsedTimer clock;
  clock.start();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&, t] {
      for (size_t i = size_t(t); i < bytes.size(); i += size_t(threads))
        (void)referenceThumbnail(bytes[i], "jpeg", iconWidth);
    });
  for (std::thread& worker : workers) worker.join();
  return double(clock.nsecsElapsed()) / 1e6;
}

constexpr int kNotchMs = 50;  // a slider dragged briskly: a notch every 50 ms
constexpr int kSettleAfterRelistMs = 300;
constexpr int kBoundSample = 12;  // a multiple of the loader threads on 2 and 4 cores

}  // namespace

QByteArray toJson(const BrowserLoadResult& r) {
  return QStringLiteral(
             "{\"items\": %1, \"threads\": %2, \"listed_ms\": %3, \"first_screen_ms\": %4, \"all_ms\": %5, "
             "\"max_stall_ms\": %6, \"screens\": %7, \"rss_before_mb\": %8, \"rss_end_mb\": %9, "
             "\"peak_rss_mb\": %10, \"cpu_ms\": %11, \"failed\": %12, \"timed_out\": %13, "
             "\"first_screen_any_ms\": %14, \"first_screen_bound_ms\": %15, \"first_screen_items\": %16, "
             "\"slider_stall_ms\": %17}")
      .arg(r.items)
      .arg(r.threads)
      .arg(r.listedMs, 0, 'f', 1)
      .arg(r.firstScreenMs, 0, 'f', 1)
      .arg(r.allMs, 0, 'f', 1)
      .arg(r.maxStallMs, 0, 'f', 1)
      .arg(r.screens)
      .arg(r.rssBeforeMb, 0, 'f', 1)
      .arg(r.rssEndMb, 0, 'f', 1)
      .arg(r.peakRssMb, 0, 'f', 1)
      .arg(r.cpuMs, 0, 'f', 1)
      .arg(r.failed)
      .arg(r.timedOut ? QStringLiteral("true") : QStringLiteral("false"))
      .arg(r.firstScreenAnyMs, 0, 'f', 1)
      .arg(r.firstScreenBoundMs, 0, 'f', 1)
      .arg(r.firstScreenItems)
      .arg(r.sliderStallMs, 0, 'f', 1)
      .toUtf8();
}

BrowserLoad::BrowserLoad(const BrowserLoadOptions& options)
    : options_(options),
      window_(ui::loadWindow(ui::mainWindowDefinition())),
      browser_(std::make_unique<Browser>(ui::resolveControls<ui::MainWindowControls>(*window_))) {
  window_->resize(ui::kMainWindowSize);
  browser_->InitLoading();
  browser_->loader().setSmartRelease(options.smartRelease);
  browser_->loader().setThumbnailCache(options.thumbnailCache);
  connect(&browser_->loader(), &ThumbnailLoader::thumbnailReady, this, &BrowserLoad::delivered);
  tick_.setTimerType(Qt::PreciseTimer);
  tick_.setInterval(10);
  connect(&tick_, &QTimer::timeout, this, &BrowserLoad::onTick);
  connect(&browser_->lists(), &EnumerationController::pictureListReplaced, this, [this] {
    if (options_.sliderNotches == 0 || notchesMoved_ < options_.sliderNotches ||
        browser_->lists().isListing() || relisted_)
      return;
    relisted_ = true;
    QTimer::singleShot(kSettleAfterRelistMs, this, [this] { finish(false); });
  });
}

BrowserLoad::~BrowserLoad() = default;

BrowserLoadResult BrowserLoad::run() {
  window_->show();
  settle();
  result_.threads = ThumbnailPool::defaultThreadCount();
  if (options_.firstScreenBound) boundBeforeMs_ = timeBoundBeforeDrop();
  result_.rssBeforeMb = residentMb();
  cpuStart_ = processCpuMs();
  clock_.start();
  tick_.start();
  browser_->queueDroppedPath(options_.folder);
  QTimer::singleShot(options_.timeoutSeconds * 1000, this, [this] { finish(true); });
  if (!finished_) loop_.exec();
  result_.rssEndMb = residentMb();
  result_.peakRssMb = peakResidentMb();
  measureFirstScreenBound();
  return result_;
}

ui::IconList& BrowserLoad::list() const {
  return *ui::resolveControls<ui::MainWindowControls>(*window_).图标列表框_文件;
}

void BrowserLoad::onTick() {
  const double t = now();
  result_.maxStallMs = std::max(result_.maxStallMs, t - lastTick_);
  if (sliderStart_ >= 0) result_.sliderStallMs = std::max(result_.sliderStallMs, t - lastTick_);
  lastTick_ = t;
  noticeList();
  advance();
}

// Small pictures can arrive before the next tick, so both the tick and a delivery look.
void BrowserLoad::noticeList() {
  if (result_.listedMs >= 0 || list().itemCount() == 0) return;
  result_.listedMs = now();
  result_.items = list().itemCount();
  onScreen_.assign(size_t(result_.items), 0);
  everDelivered_.assign(onScreen_.size(), 0);
  showsIcon_.assign(onScreen_.size(), 0);
}

void BrowserLoad::delivered(const ThumbnailDelivery& delivery) {
  noticeList();
  if (onScreen_.empty() || delivery.index < 0 || size_t(delivery.index) >= onScreen_.size()) return;
  const auto at = size_t(delivery.index);
  showsIcon_[at] = 1;
  // A preview only shows the item: the item is done with its final thumbnail.
  if (!delivery.provisional) {
    onScreen_[at] = 1;
    if (!everDelivered_[at]) {
      everDelivered_[at] = 1;
      ++deliveredCount_;
    }
    if (delivery.image.isNull()) ++result_.failed;
  }
  for (const int released : delivery.released) {
    if (released < 0 || size_t(released) >= onScreen_.size()) continue;
    onScreen_[size_t(released)] = 0;
    showsIcon_[size_t(released)] = 0;
  }
  noticeFirstScreenShown();
  advance();
}

// The list does not scroll on before its first screen is complete, so the range shown is the first.
void BrowserLoad::noticeFirstScreenShown() {
  if (result_.firstScreenAnyMs >= 0) return;
  const auto [first, last] = list().visibleRange();
  if (first < 0 || last >= int(showsIcon_.size())) return;
  for (int i = first; i <= last; ++i)
    if (!showsIcon_[size_t(i)]) return;
  result_.firstScreenAnyMs = now();
}

bool BrowserLoad::screenComplete(int first, int last) const {
  for (int i = first; i <= last; ++i)
    if (!onScreen_[size_t(i)]) return false;
  return true;
}

// Every item on screen has been asked for and no request waits: the loaders hold all of them.
bool BrowserLoad::screenTaken(int first, int last) const {
  if (browser_->loader().waiting() > 0) return false;
  for (int i = first; i <= last; ++i)
    if (!onScreen_[size_t(i)] && !list().model()->asked(i)) return false;
  return true;
}

// One screen further once the loaders have taken every request of the shown screen, as a list
// scrolled on keeps them fed; waits for the paint that shows the new screen before judging it.
void BrowserLoad::advance() {
  if (onScreen_.empty() || finished_ || (options_.firstScreenOnly && result_.firstScreenMs >= 0)) return;
  if (deliveredCount_ == onScreen_.size()) return finish(false);
  const auto [first, last] = list().visibleRange();
  if (first < 0 || last < scrolledTo_ || last >= int(onScreen_.size())) return;
  const bool complete = screenComplete(first, last);
  if (complete && result_.firstScreenMs < 0) {
    result_.firstScreenMs = now();
    firstScreen_ = {first, last};
    firstScreenIcon_ = browser_->lists().iconSize();
    result_.firstScreenItems = last - first + 1;
    if (options_.firstScreenOnly) return options_.sliderNotches > 0 ? moveSlider() : finish(false);
  }
  if (!complete && (result_.firstScreenMs < 0 || !screenTaken(first, last))) return;
  scrolledTo_ = std::min(int(onScreen_.size()) - 1, last + (last - first + 1));
  ++result_.screens;
  list().guaranteeVisible(scrolledTo_);
}

// One notch further, as a user's drag moves it (the slider's own value, so the browser hears it),
// towards the small end and back; the next one kNotchMs later.
void BrowserLoad::moveSlider() {
  if (finished_ || notchesMoved_ >= options_.sliderNotches) return;
  if (sliderStart_ < 0) sliderStart_ = now();
  auto* slider = ui::resolveControls<ui::MainWindowControls>(*window_).滑块条_图标大小->findChild<QSlider*>();
  const int span = slider->maximum() - slider->minimum();
  const int step = (notchesMoved_ / std::max(1, span)) % 2 == 0 ? -1 : 1;
  const int next = slider->value() + step;
  slider->setValue(next < slider->minimum() || next > slider->maximum() ? slider->value() - step : next);
  ++notchesMoved_;
  QTimer::singleShot(kNotchMs, this, &BrowserLoad::moveSlider);
}

// The reference decode's wall time per picture, on as many threads as there are loaders, over
// kBoundSample of the folder's first pictures: timed before the drop.
double BrowserLoad::timeBoundBeforeDrop() {
  const QStringList files = listPictures({options_.folder}).mid(0, kBoundSample);
  if (files.isEmpty()) return -1;
  return referenceDecodeWallMs(files, ThumbnailPool::defaultThreadCount(), browser_->lists().iconSize()) /
         double(files.size());
}

// The same for the first screen's own pictures once the loaders have nothing left to do (the list
// is emptied, the requests in flight end): the bound is the drop timer's wait plus the first
// screen's pictures at the mean of the two rates, so a machine whose load drifts during the run
// moves both sides alike.
void BrowserLoad::measureFirstScreenBound() {
  if (!options_.firstScreenBound || firstScreen_.first < 0 || onScreen_.empty()) return;
  QStringList files;
  for (int i = firstScreen_.first; i <= firstScreen_.second; ++i) files.append(list().model()->path(i));
  list().resetItems(0);
  QElapsedTimer wait;
  wait.start();
  while (!browser_->loader().idle() && wait.elapsed() < 60'000)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  const double after = referenceDecodeWallMs(files, result_.threads, firstScreenIcon_) / double(files.size());
  const double perPicture = boundBeforeMs_ > 0 ? (boundBeforeMs_ + after) / 2 : after;
  const int dropWait = ui::resolveControls<ui::MainWindowControls>(*window_).时钟_拖放路径->interval();
  result_.firstScreenBoundMs = dropWait + perPicture * double(files.size());
}

void BrowserLoad::finish(bool timedOut) {
  if (finished_) return;
  finished_ = true;
  result_.timedOut = timedOut;
  result_.allMs = now();
  result_.cpuMs = processCpuMs() - cpuStart_;
  tick_.stop();
  loop_.quit();
}

}  // namespace pimrose::bench
