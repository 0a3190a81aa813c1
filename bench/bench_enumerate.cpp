// Listing a 100,000-file tree against `find` with the same filter, run in the same process.
// The tree (empty files: listing never opens them) is made once next to this program and reused.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

#include "browsing/enumerate_pictures.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTopFolders = 100;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 100;
constexpr const char* kExtensions[] = {".jpg", ".PNG", ".gif", ".txt", ".jpeg"};

fs::path treeRoot() {
  return fs::read_symlink("/proc/self/exe").parent_path() / "enumerate_tree_100k";
}

void makeTree(const fs::path& root) {
  const fs::path done = root / ".complete";
  if (fs::exists(done)) return;
  for (int top = 0; top < kTopFolders; ++top) {
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const fs::path folder = root / ("album " + std::to_string(top)) / ("day" + std::to_string(sub));
      fs::create_directories(folder);
      for (int file = 0; file < kFilesPerFolder; ++file)
        std::ofstream(folder / ("IMG_" + std::to_string(file) + kExtensions[file % 5]));
    }
  }
  std::ofstream{done};
}

std::string findCommand() {
  return "find '" + treeRoot().string() +
         "' -type f \\( -iname '*.jpg' -o -iname '*.png' -o -iname '*.gif' \\)";
}

long countFindLines() {
  FILE* pipe = popen(findCommand().c_str(), "r");
  if (!pipe) return -1;
  long lines = 0;
  char buffer[1 << 16];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    for (size_t k = 0; k < got; ++k) lines += buffer[k] == '\n';
  pclose(pipe);
  return lines;
}

void BM_ListPictures(benchmark::State& state) {
  const QString root = QString::fromStdString(treeRoot().string());
  qsizetype found = 0;
  for (auto _ : state) {
    const QStringList pictures = pimrose::listPictures({root});
    found = pictures.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["pictures"] = double(found);
}

void BM_Find(benchmark::State& state) {
  long found = 0;
  for (auto _ : state) {
    found = countFindLines();
    benchmark::DoNotOptimize(found);
  }
  state.counters["pictures"] = double(found);
}

BENCHMARK(BM_ListPictures)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's time per iteration so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void printRatio() const {
    const auto ours = times_.find("BM_ListPictures/min_time:2.000");
    const auto find = times_.find("BM_Find/min_time:2.000");
    if (ours == times_.end() || find == times_.end() || find->second <= 0) return;
    std::printf("listing / find time ratio: %.2f (%.1f ms vs %.1f ms)\n", ours->second / find->second,
                ours->second, find->second);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  makeTree(treeRoot());
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatio();
  benchmark::Shutdown();
  return 0;
}
