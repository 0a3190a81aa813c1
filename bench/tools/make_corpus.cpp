// Makes the benchmark corpus (see tools/corpus.h) under one folder, once:
//   pimrose-bench-corpus DIR [--photos N] [--pngs N] [--gifs N] [--drop N,N] [--small N]
//                            [--rss N,N,...] [--tree N] [--cameras N] [--camera-drop N] [--p3 N] [--smooth N]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/corpus.h"

namespace {

using pimrose::bench::CorpusPlan;

std::vector<int> parseList(const char* text) {
  std::vector<int> values;
  for (const char* p = text; *p;) {
    char* end = nullptr;
    values.push_back(int(std::strtol(p, &end, 10)));
    p = *end == ',' ? end + 1 : end;
    if (end == p && *p) break;
  }
  return values;
}

bool parse(int argc, char** argv, CorpusPlan& options) {
  if (argc < 2) return false;
  options.dir = argv[1];
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (key == "--photos")
      options.photos = value;
    else if (key == "--pngs")
      options.pngs = value;
    else if (key == "--gifs")
      options.gifs = value;
    else if (key == "--drop")
      options.drops = parseList(argv[i + 1]);
    else if (key == "--small")
      options.small = value;
    else if (key == "--tree")
      options.tree = value;
    else if (key == "--cameras")
      options.cameras = value;
    else if (key == "--camera-drop")
      options.cameraDrop = value;
    else if (key == "--p3")
      options.p3 = value;
    else if (key == "--smooth")
      options.smooth = value;
    else if (key == "--rss")
      options.rss = parseList(argv[i + 1]);
    else
      return false;
  }
  return (argc % 2) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  CorpusPlan options;
  const bool help = argc >= 2 && std::string(argv[1]) == "--help";
  if (help || !parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s DIR [--photos N] [--pngs N] [--gifs N] [--drop N,N] [--small N] [--rss N,N] "
                 "[--tree N] [--cameras N] [--camera-drop N] [--p3 N] [--smooth N]\n",
                 argv[0]);
    return help ? 0 : 2;
  }
  try {
    std::filesystem::create_directories(options.dir);
    if (pimrose::bench::makeCorpus(options)) return 0;
  } catch (const std::filesystem::filesystem_error& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  std::fprintf(stderr, "could not make the corpus in %s\n", options.dir.c_str());
  return 1;
}
