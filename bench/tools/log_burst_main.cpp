// Prints one JSON line with the longest stall of the UI thread while a burst of log lines arrives from
// worker threads and fills the log window (shown, offscreen unless a platform is set):
//   pimrose-bench-log-burst [--lines N] [--threads N]
// A 1 ms timer runs at most once per turn of the event loop; the longest gap between two of its runs
// is the longest time the UI thread could not answer input or paint.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>

#include "app/log_window_controller.h"
#include "platform/log_sink.h"
#include "ui/report_list.h"

Q_LOGGING_CATEGORY(lcBurst, "pimrose.bench", QtWarningMsg)

namespace {

struct Options {
  int lines = 100000;
  int threads = 8;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--lines" && i + 1 < argc)
      options.lines = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--threads" && i + 1 < argc)
      options.threads = std::max(1, std::atoi(argv[++i]));
    else
      return false;
  }
  return true;
}

std::vector<std::thread> startProducers(const Options& options) {
  std::vector<std::thread> producers;
  for (int t = 0; t < options.threads; ++t) {
    const int count = options.lines / options.threads + (t < options.lines % options.threads ? 1 : 0);
    producers.emplace_back([t, count] {
      for (int i = 0; i < count; ++i) qCInfo(lcBurst) << "thumbnail failed" << t << i << "broken.jpg";
    });
  }
  return producers;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--lines N] [--threads N]\n", argv[0]);
    return argc >= 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pimrose::installLogSink();
  std::unique_ptr<pimrose::ui::Window> window = pimrose::ui::loadWindow(pimrose::ui::logWindowDefinition());
  pimrose::LogFeed feed;
  auto* controller =
      new pimrose::LogWindowController(pimrose::findLogWindowParts(*window), feed, [](const QString&) {});
  (void)controller;
  pimrose::setLogReceiver(feed.receiver());
  window->show();

  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest = 0;
  QTimer turn;
  QObject::connect(&turn, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  quint64 arrived = 0;
  QObject::connect(&feed, &pimrose::LogFeed::linesArrived, [&](const std::vector<pimrose::LogLine>& lines) {
    arrived = lines.back().number;
    if (arrived >= quint64(options.lines)) QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
  });
  turn.setTimerType(Qt::PreciseTimer);
  turn.start(1);
  clock.start();
  std::vector<std::thread> producers = startProducers(options);
  QTimer::singleShot(120000, &app, [] { QCoreApplication::exit(1); });
  QApplication::exec();
  const double totalMs = double(clock.nsecsElapsed()) / 1e6;
  for (std::thread& producer : producers) producer.join();
  pimrose::setLogReceiver({});
  auto& list = pimrose::findLogWindowParts(*window).list;
  std::printf(
      "{\"lines\": %d, \"threads\": %d, \"arrived\": %llu, \"rows\": %d, \"max_stall_ms\": %.2f, \"ms\": "
      "%.1f}\n",
      options.lines, options.threads, static_cast<unsigned long long>(arrived), list.itemCount(),
      double(longest) / 1e6, totalMs);
  return arrived >= quint64(options.lines) ? 0 : 1;
}
