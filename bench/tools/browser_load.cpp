// The browser as a user meets it, in-process and offscreen: the real main window and Browser,
// a folder dropped (queued exactly as a drop on the window queues it), the first screen waited
// for, then the list scrolled one screen further each time the loaders have taken every request
// of the screen shown, until every item has had its thumbnail delivered once. Prints one JSON line:
//   {"items", "threads", "listed_ms", "first_screen_ms", "all_ms", "max_stall_ms", "screens",
//    "rss_before_mb", "rss_end_mb", "peak_rss_mb", "cpu_ms", "failed", "timed_out"}
//
//   pimrose-bench-browser FOLDER [--smart-release] [--timeout SECONDS]
//
// Times count from the drop. first_screen_ms: every item of the first painted screen has its
// thumbnail. max_stall_ms: the longest gap between two ticks of a 10 ms timer on the UI thread
// while loading. Peak memory is the process's high-water mark, so run one load per process.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "app/browser.h"
#include "pictures/thumbnail_pool.h"
#include "tools/process_stats.h"
#include "ui/controls.h"
#include "ui/icon_list_model.h"
#include "ui/window.h"

namespace {

struct Options {
  QString folder;
  bool smartRelease = false;
  int timeoutSeconds = 600;
};

class BrowserLoad : public QObject {
 public:
  explicit BrowserLoad(const Options& options)
      : options_(options),
        window_(pimrose::ui::loadWindow(pimrose::ui::mainWindowDefinition())),
        browser_(std::make_unique<pimrose::Browser>(*window_)) {
    window_->resize(1200, 700);  // the size the program opens with
    browser_->InitLoading();
    browser_->loader().setSmartRelease(options.smartRelease);
    connect(&browser_->loader(), &pimrose::ThumbnailLoader::thumbnailReady, this, &BrowserLoad::delivered);
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(10);
    connect(&tick_, &QTimer::timeout, this, &BrowserLoad::onTick);
  }

  // Answers the process exit code.
  int run() {
    window_->show();
    settle();
    rssBefore_ = pimrose::bench::residentMb();
    cpuStart_ = pimrose::bench::processCpuMs();
    clock_.start();
    lastTick_ = 0;
    tick_.start();
    browser_->queueDroppedPath(options_.folder);
    QTimer::singleShot(options_.timeoutSeconds * 1000, qApp, [this] { finish(true); });
    qApp->exec();
    return report();
  }

 private:
  pimrose::ui::IconList& list() const {
    return *window_->control<pimrose::ui::IconList>(QStringLiteral("图标列表框_文件"));
  }

  // Lets the window get its first paint before the clock starts.
  static void settle() {
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }

  double now() const { return double(clock_.nsecsElapsed()) / 1e6; }

  void onTick() {
    const double t = now();
    maxStall_ = std::max(maxStall_, t - lastTick_);
    lastTick_ = t;
    noticeList();
    advance();
  }

  // Small pictures can arrive before the next tick, so both the tick and a delivery look.
  void noticeList() {
    if (listed_ >= 0 || list().itemCount() == 0) return;
    listed_ = now();
    onScreen_.assign(size_t(list().itemCount()), 0);
    everDelivered_.assign(onScreen_.size(), 0);
  }

  void delivered(const pimrose::ThumbnailDelivery& delivery) {
    noticeList();
    if (onScreen_.empty() || delivery.index < 0 || size_t(delivery.index) >= onScreen_.size()) return;
    onScreen_[size_t(delivery.index)] = 1;
    if (!everDelivered_[size_t(delivery.index)]) {
      everDelivered_[size_t(delivery.index)] = 1;
      ++deliveredCount_;
    }
    if (delivery.image.isNull()) ++failed_;
    for (const int released : delivery.released) onScreen_[size_t(released)] = 0;
    advance();
  }

  bool screenComplete(int first, int last) const {
    for (int i = first; i <= last; ++i)
      if (!onScreen_[size_t(i)]) return false;
    return true;
  }

  // Every item on screen has been asked for and no request waits: the loaders hold all of them.
  bool screenTaken(int first, int last) const {
    if (browser_->loader().waiting() > 0) return false;
    for (int i = first; i <= last; ++i)
      if (!onScreen_[size_t(i)] && !list().model()->asked(i)) return false;
    return true;
  }

  // One screen further once the loaders have taken every request of the shown screen, as a list
  // scrolled on keeps them fed; waits for the paint that shows the new screen before judging it.
  void advance() {
    if (onScreen_.empty()) return;
    if (deliveredCount_ == onScreen_.size()) return finish(false);
    const auto [first, last] = list().visibleRange();
    if (first < 0 || last < scrolledTo_ || last >= int(onScreen_.size())) return;
    const bool complete = screenComplete(first, last);
    if (complete && firstScreen_ < 0) firstScreen_ = now();
    if (!complete && (firstScreen_ < 0 || !screenTaken(first, last))) return;
    scrolledTo_ = std::min(int(onScreen_.size()) - 1, last + (last - first + 1));
    ++screens_;
    list().guaranteeVisible(scrolledTo_);
  }

  void finish(bool timedOut) {
    if (finished_) return;
    finished_ = true;
    timedOut_ = timedOut;
    all_ = now();
    cpu_ = pimrose::bench::processCpuMs() - cpuStart_;
    tick_.stop();
    qApp->quit();
  }

  int report() const {
    std::printf(
        "{\"items\": %zu, \"threads\": %d, \"listed_ms\": %.1f, \"first_screen_ms\": %.1f, \"all_ms\": %.1f, "
        "\"max_stall_ms\": %.1f, \"screens\": %d, \"rss_before_mb\": %.1f, \"rss_end_mb\": %.1f, "
        "\"peak_rss_mb\": %.1f, \"cpu_ms\": %.1f, \"failed\": %d, \"timed_out\": %s}\n",
        onScreen_.size(), pimrose::ThumbnailPool::defaultThreadCount(), listed_, firstScreen_, all_,
        maxStall_, screens_, rssBefore_, pimrose::bench::residentMb(), pimrose::bench::peakResidentMb(), cpu_,
        failed_, timedOut_ ? "true" : "false");
    return timedOut_ || onScreen_.empty() ? 1 : 0;
  }

  Options options_;
  std::unique_ptr<pimrose::ui::Window> window_;
  std::unique_ptr<pimrose::Browser> browser_;
  QTimer tick_;
  QElapsedTimer clock_;
  std::vector<char> onScreen_;       // has its thumbnail now (smart release takes it away again)
  std::vector<char> everDelivered_;  // has had its thumbnail at least once
  size_t deliveredCount_ = 0;
  int scrolledTo_ = 0;
  int screens_ = 0;
  int failed_ = 0;
  double lastTick_ = 0, maxStall_ = 0, listed_ = -1, firstScreen_ = -1, all_ = -1, rssBefore_ = 0;
  double cpuStart_ = 0, cpu_ = 0;  // CPU time of every thread of the process during the load
  bool finished_ = false, timedOut_ = false;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--smart-release")
      options.smartRelease = true;
    else if (arg == "--timeout" && i + 1 < argc)
      options.timeoutSeconds = std::max(1, std::atoi(argv[++i]));
    else if (arg.rfind("--", 0) == 0 || !options.folder.isEmpty())
      return false;
    else
      options.folder = QString::fromLocal8Bit(argv[i]);
  }
  return !options.folder.isEmpty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s FOLDER [--smart-release] [--timeout SECONDS]\n", argv[0]);
    return argc >= 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  BrowserLoad load(options);
  return load.run();
}
