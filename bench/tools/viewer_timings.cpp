// Prints one JSON line with what the built-in viewer costs on a 24-megapixel JPEG in a
// 1200 x 700 frame, against a raw TurboJPEG decode at the frame's DCT scale in the same run:
//   pimrose-bench-viewer [--rounds N]
//   open_ms: the open command until the picture is painted; step_ms: a wheel step to a
//   neighbour that was decoded ahead, until it is painted; scaled_decode_ms: the reference.
//   The *_cpu_ms figures are the CPU time of the whole process over the same spans: on a busy
//   machine a thread waits for a core, so wall times say as much about the machine as about us.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "app/browser.h"
#include "tools/jpeg_encode.h"
#include "tools/reference_thumbnail.h"
#include "tools/synthetic_photo.h"
#include "ui/main_window_controls.h"
#include "ui/picture_box.h"
#include "ui/window.h"

namespace {

constexpr QSize kFrame(1200, 700);
constexpr int kCaptionAndStatus = 62;  // the main window's strips around the viewer panel

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double processCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](timeval t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Wall and CPU milliseconds of one span.
struct Span {
  QElapsedTimer clock;
  double cpuStart = processCpuMs();
  Span() { clock.start(); }
  double wall() const { return clock.nsecsElapsed() / 1e6; }
  double cpu() const { return processCpuMs() - cpuStart; }
};

// Sleeps in the event loop between events: the overload with a time limit polls instead, and its
// spinning would be counted as the viewer's CPU time. Every condition here changes in an event.
template <typename Condition>
void serveUntil(Condition condition) {
  while (!condition()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

QByteArray photoJpeg() {
  const std::vector<std::uint8_t> jpeg =
      pimrose::bench::encodeJpeg(pimrose::bench::syntheticPhoto(6000, 4000, 24), 90);
  return QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size()));
}

// Wall and CPU times, one of each per span.
struct Times {
  std::vector<double> wall;
  std::vector<double> cpu;
  void add(const Span& span) {
    wall.push_back(span.wall());
    cpu.push_back(span.cpu());
  }
};

Times referenceDecodes(const QByteArray& jpeg, int rounds) {
  Times times;
  for (int r = 0; r < rounds; ++r) {
    const Span span;
    const pimrose::bench::Pixels pixels =
        pimrose::bench::turboJpegDecode(jpeg, kFrame.width(), kFrame.height());
    times.add(span);
    if (pixels.width == 0) std::exit(1);
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 7;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--rounds N]\n", argv[0]);
      return arg == "--help" ? 0 : 2;
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  using namespace pimrose;

  const QByteArray jpeg = photoJpeg();
  QTemporaryDir dir;
  // The thumbnails of the folder go to a cache of the run's own (the loader finds its folder when it
  // is made), never into the user's caches.
  QTemporaryDir cache;
  if (cache.isValid()) qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
  const int files = rounds + 2;
  for (int i = 0; i < files; ++i) {
    QFile file(dir.filePath(QStringLiteral("photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'))));
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) return 1;
  }

  auto window = ui::loadWindow(ui::mainWindowDefinition());
  Browser browser(ui::resolveControls<ui::MainWindowControls>(*window));
  window->resize(kFrame.width(), kFrame.height() + kCaptionAndStatus);
  browser.InitLoading();
  window->show();
  browser.lists().openDropped({dir.path()});
  serveUntil([&] { return browser.lists().pictureList().size() == files; });
  // The thumbnails behind the viewer are made first, so they do not share the cores with it.
  serveUntil([&] { return browser.loader().idle(); });

  Viewer& viewer = browser.viewer();
  auto* box = ui::resolveControls<ui::MainWindowControls>(*window).图片框_图片文件;
  int shown = -1;
  QObject::connect(&viewer, &Viewer::pictureShown, [&](int index) { shown = index; });

  Times opens;
  for (int r = 0; r < rounds; ++r) {
    viewer.close();
    shown = -1;
    const Span span;
    viewer.open(0);
    serveUntil([&] { return shown == 0; });
    box->repaint();
    opens.add(span);
    serveUntil([&] { return viewer.isDecodedAhead(1); });
  }

  Times steps;
  for (int i = 1; i < files; ++i) {
    serveUntil([&] { return viewer.isDecodedAhead(i); });
    const Span span;
    viewer.step(-120);
    if (shown != i) serveUntil([&] { return shown == i; });
    box->repaint();
    steps.add(span);
  }

  const Times decodes = referenceDecodes(jpeg, rounds);
  std::printf(
      "{\"open_ms\": %.3f, \"open_cpu_ms\": %.3f, \"step_ms\": %.3f, \"step_cpu_ms\": %.3f, "
      "\"scaled_decode_ms\": %.3f, \"scaled_decode_cpu_ms\": %.3f, \"rounds\": %d, \"frame\": \"%dx%d\"}\n",
      median(opens.wall), median(opens.cpu), median(steps.wall), median(steps.cpu), median(decodes.wall),
      median(decodes.cpu), rounds, box->width(), box->height());
  return 0;
}
