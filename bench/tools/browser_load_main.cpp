// Prints one JSON line with the figures of one browser load (see tools/browser_load.h):
//   pimrose-bench-browser FOLDER [--smart-release] [--thumbnail-cache] [--timeout SECONDS]
//                         [--first-screen-only [--slider-notches N]] [--first-screen-bound]
// Peak memory is the process's high-water mark, so run one load per process.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>

#include "tools/browser_load.h"

namespace {

bool parse(int argc, char** argv, pimrose::bench::BrowserLoadOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--smart-release")
      options.smartRelease = true;
    else if (arg == "--thumbnail-cache")
      options.thumbnailCache = true;
    else if (arg == "--first-screen-bound")
      options.firstScreenBound = true;
    else if (arg == "--first-screen-only")
      options.firstScreenOnly = true;
    else if (arg == "--slider-notches" && i + 1 < argc)
      options.sliderNotches = std::max(0, std::atoi(argv[++i]));
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
  pimrose::bench::BrowserLoadOptions options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s FOLDER [--smart-release] [--thumbnail-cache] [--timeout SECONDS] "
                 "[--first-screen-only [--slider-notches N]] [--first-screen-bound]\n",
                 argv[0]);
    return argc >= 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  pimrose::bench::BrowserLoad load(options);
  const pimrose::bench::BrowserLoadResult result = load.run();
  std::printf("%s\n", toJson(result).constData());
  return result.timedOut || result.items == 0 ? 1 : 0;
}
