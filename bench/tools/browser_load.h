#pragma once

#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>

// The browser as a user meets it, in-process: the real main window (1200x700, the size the
// program opens with) and Browser, a folder dropped (queued exactly as a drop on the window queues
// it), the first screen waited for, then the list scrolled one screen further each time the
// loaders have taken every request of the screen shown, until every item has had its thumbnail
// delivered once. Times count from the drop. Only final thumbnails count as delivered; an embedded
// preview shown before one counts for first_screen_any_ms alone.

namespace pimrose {
class Browser;
struct ThumbnailDelivery;
namespace ui {
class IconList;
class Window;
}  // namespace ui
}  // namespace pimrose

namespace pimrose::bench {

struct BrowserLoadOptions {
  QString folder;
  bool smartRelease = false;
  bool thumbnailCache = false;  // the shared cache under $XDG_CACHE_HOME; off, every thumbnail is decoded
  int timeoutSeconds = 600;
  bool firstScreenOnly = false;   // done once the first screen is complete (no scrolling)
  int sliderNotches = 0;          // then the icon size slider moved this many notches, one per 50 ms
  bool firstScreenBound = false;  // the first screen's bound measured (firstScreenBoundMs)
};

struct BrowserLoadResult {
  int items = 0;
  int threads = 0;               // the loader threads
  double listedMs = -1;          // the list has its items
  double firstScreenMs = -1;     // every item of the first painted screen has its thumbnail
  double firstScreenAnyMs = -1;  // every item of the first painted screen shows an icon, preview or final
  double allMs = -1;             // every item has had its thumbnail once
  double maxStallMs = 0;         // longest gap between two ticks of a 10 ms timer on the UI thread
  // The first screen's bound: the drop timer's wait plus the wall time of the reference decode
  // (TurboJPEG scaled + resize) of the first screen's pictures on as many threads as there are
  // loaders, at the rate measured before the drop and after the load in the same process.
  double firstScreenBoundMs = -1;
  int firstScreenItems = 0;
  double sliderStallMs = -1;  // longest tick gap from the first notch until the list is back
  int screens = 0;            // scroll steps taken
  double rssBeforeMb = 0, rssEndMb = 0, peakRssMb = 0;
  double cpuMs = 0;  // CPU time of every thread of the process during the load
  int failed = 0;    // deliveries without a picture
  bool timedOut = false;
};

// One JSON object on one line.
QByteArray toJson(const BrowserLoadResult& result);

class BrowserLoad : public QObject {
 public:
  explicit BrowserLoad(const BrowserLoadOptions& options);
  ~BrowserLoad() override;

  BrowserLoadResult run();

 private:
  ui::IconList& list() const;
  double now() const { return double(clock_.nsecsElapsed()) / 1e6; }
  void onTick();
  void noticeList();
  void delivered(const ThumbnailDelivery& delivery);
  void noticeFirstScreenShown();
  bool screenComplete(int first, int last) const;
  bool screenTaken(int first, int last) const;
  void advance();
  void finish(bool timedOut);
  void moveSlider();
  void measureFirstScreenBound();
  double timeBoundBeforeDrop();

  BrowserLoadOptions options_;
  std::unique_ptr<ui::Window> window_;
  std::unique_ptr<Browser> browser_;
  QEventLoop loop_;
  QTimer tick_;
  QElapsedTimer clock_;
  std::vector<char> onScreen_;       // has its thumbnail now (smart release takes it away again)
  std::vector<char> everDelivered_;  // has had its thumbnail at least once
  std::vector<char> showsIcon_;      // shows an icon now, the preview or the thumbnail
  size_t deliveredCount_ = 0;
  int scrolledTo_ = 0;
  std::pair<int, int> firstScreen_{-1, -1};
  int firstScreenIcon_ = 0;  // the icon width the first screen was made at
  int notchesMoved_ = 0;
  bool relisted_ = false;  // the list came back after the last notch
  double sliderStart_ = -1;
  double boundBeforeMs_ = -1;  // reference decode per picture, before the drop
  double lastTick_ = 0, cpuStart_ = 0;
  bool finished_ = false;
  BrowserLoadResult result_;
};

}  // namespace pimrose::bench
