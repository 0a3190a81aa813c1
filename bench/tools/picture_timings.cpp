// Times one kind of picture work over a list of files on one thread and prints one JSON line:
//   {"mode": ..., "images": N, "ms": wall time, "cpu_ms": CPU time, "failed": F}
// bench/run starts it once per measurement and round, interleaved with the reference tools, and
// reads the process's wall time and peak memory itself.
//
//   pimrose-bench-pictures MODE [--size N] [--passes N] [--threads N] FILE...
//   thumb    Pimrose's thumbnail (loadThumbnail, fast loading off) N wide
//   limit    plain library decode (JPEG at the DCT scale just above N; HEIC from the image the
//            thumbnail is made from; JPEG XL up to the progressive step that covers N) + area-average
//            resize
//   qt       QImageReader with setScaledSize, N wide
//   measure  Pimrose's header-only width and height (pictureSize)
//   decode   full-size plain library decode
//   list     Pimrose's folder listing of each FILE (a folder), as opening a drop does
//   entries  the shared cache's entries of the files as the loaders write them for an icon N wide,
//            saved as OUT/entry-NNN.png (--out OUT); each is then decoded --passes times by the
//            program's reader, side by side with the same pixels packed as entries were before
//            (tools/run_length_png.h) read by plain libpng. Adds "decode_ms", "decode_before_ms"
//            (thread CPU time), "bytes" and "bytes_before" to the line.
// With --threads N the files are shared out among N threads, each taking the next file not yet
// taken: what N loaders could do at best on this machine while it is as busy as it is.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QString>

#include "browsing/enumerate_pictures.h"
#include "codecs/picture_size.h"
#include "codecs/png_decode.h"
#include "thumbnails/cached_thumbnail.h"
#include "thumbnails/load_thumbnail.h"
#include "tools/process_stats.h"
#include "tools/reference_thumbnail.h"
#include "tools/run_length_png.h"

namespace {

using namespace pimrose::bench;

struct Job {
  std::string mode;
  int size = 150;
  int passes = 1;
  int threads = 1;
  QString out;
  std::vector<QString> files;
};

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* kindOf(const QString& path) {
  if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) return "png";
  if (path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)) return "gif";
  if (path.endsWith(QLatin1String(".heic"), Qt::CaseInsensitive)) return "heic";
  if (path.endsWith(QLatin1String(".jxl"), Qt::CaseInsensitive)) return "jxl";
  return "jpeg";
}

// Answers 1 when the work produced nothing, so a broken path cannot pass as a fast one.
int runOne(const Job& job, const QString& path) {
  if (job.mode == "thumb") return pimrose::loadThumbnail(path, job.size, false).image.isNull() ? 1 : 0;
  if (job.mode == "limit")
    return referenceThumbnail(readAll(path), kindOf(path), job.size).width == 0 ? 1 : 0;
  if (job.mode == "decode") {
    const QByteArray bytes = readAll(path);
    const std::string kind = kindOf(path);
    const Pixels full = kind == "png"   ? libpngDecode(bytes)
                        : kind == "gif" ? giflibFirstFrame(bytes)
                                        : turboJpegDecode(bytes, 0, 0);
    return full.width == 0 ? 1 : 0;
  }
  if (job.mode == "measure") return pimrose::pictureSize(path).isEmpty() ? 1 : 0;
  if (job.mode == "list") {
    // The program keeps a listing as its list, and frees it only when a later one replaces it: the
    // listing is timed until it is there, as find is until it has printed the names, and freed
    // after the loop (or by the next pass).
    thread_local QStringList kept;
    kept = pimrose::listPictures({path});
    return kept.isEmpty() ? 1 : 0;
  }
  if (job.mode == "qt") {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.width() <= 0) return 1;
    reader.setScaledSize(QSize(job.size, std::max(1, size.height() * job.size / size.width())));
    return reader.read().isNull() ? 1 : 0;
  }
  return 1;
}

struct EntryPair {
  QByteArray ours;
  QByteArray before;
};

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// Each picture's entry through the real cache, in a cache folder of its own under OUT.
std::vector<EntryPair> makeEntries(const Job& job) {
  if (!QDir().mkpath(job.out)) return {};
  const pimrose::ThumbnailCache cache(job.out + QStringLiteral("/thumbnails"));
  std::vector<EntryPair> entries;
  for (const QString& file : job.files) {
    const QString path = QFileInfo(file).absoluteFilePath();
    pimrose::loadThumbnailCached(path, job.size, false, cache);
    for (const int side : {128, 256, 512, 1024}) {
      QFile entry(cache.entryPath(path, side));
      if (!entry.open(QIODevice::ReadOnly)) continue;
      const QByteArray ours = entry.readAll();
      entries.push_back({ours, pimrose::bench::runLengthPng(pimrose::decodePng(ours, {}, nullptr))});
      QFile copy(QStringLiteral("%1/entry-%2.png").arg(job.out).arg(entries.size(), 3, 10, QLatin1Char('0')));
      if (!copy.open(QIODevice::WriteOnly) || copy.write(ours) != ours.size()) return {};
    }
  }
  return entries;
}

// Both readers in turn over every entry, pass after pass, so a busy moment weighs on both alike.
int runEntries(const Job& job) {
  const std::vector<EntryPair> entries = makeEntries(job);
  if (entries.size() != job.files.size()) return 1;
  double ours = 0, before = 0;
  qint64 bytes = 0, bytesBefore = 0;
  int failed = 0;
  for (const EntryPair& entry : entries) bytes += entry.ours.size(), bytesBefore += entry.before.size();
  for (int pass = 0; pass < job.passes; ++pass) {
    for (const EntryPair& entry : entries) {
      const double start = threadCpuMs();
      failed += pimrose::decodePng(entry.ours, {}, nullptr).isNull() ? 1 : 0;
      const double middle = threadCpuMs();
      failed += libpngDecode(entry.before).width == 0 ? 1 : 0;
      ours += middle - start;
      before += threadCpuMs() - middle;
    }
  }
  std::printf(
      "{\"mode\": \"entries\", \"images\": %zu, \"ms\": %.3f, \"cpu_ms\": %.3f, \"decode_ms\": %.3f, "
      "\"decode_before_ms\": %.3f, \"bytes\": %lld, \"bytes_before\": %lld, \"failed\": %d}\n",
      entries.size() * size_t(job.passes), ours, ours, ours, before, bytes, bytesBefore, failed);
  return failed == 0 ? 0 : 1;
}

int runAll(const Job& job) {
  const size_t total = job.files.size() * size_t(job.passes);
  std::atomic<size_t> next = 0;
  std::atomic<int> failed = 0;
  const auto work = [&] {
    for (size_t k = next++; k < total; k = next++) failed += runOne(job, job.files[k % job.files.size()]);
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < job.threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return failed;
}

bool parse(int argc, char** argv, Job& job) {
  if (argc < 3) return false;
  job.mode = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc) {
      job.out = QString::fromLocal8Bit(argv[++i]);
    } else if ((arg == "--size" || arg == "--passes" || arg == "--threads") && i + 1 < argc) {
      int& value = arg == "--size" ? job.size : arg == "--passes" ? job.passes : job.threads;
      value = std::max(1, std::atoi(argv[++i]));
    } else {
      job.files.push_back(QString::fromLocal8Bit(argv[i]));
    }
  }
  static const std::vector<std::string> modes = {"thumb",  "limit", "qt",     "measure",
                                                 "decode", "list",  "entries"};
  const bool known = std::find(modes.begin(), modes.end(), job.mode) != modes.end();
  return !job.files.empty() && known && (job.mode != "entries" || !job.out.isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
  Job job;
  if (!parse(argc, argv, job)) {
    std::fprintf(stderr,
                 "usage: %s thumb|limit|qt|measure|decode|list|entries [--size N] [--passes N] [--threads N] "
                 "[--out DIR] FILE...\n",
                 argv[0]);
    return argc >= 2 && std::string(argv[1]) == "--help" ? 0 : 2;
  }
  if (job.mode == "entries") return runEntries(job);
  // CPU time tells the cost of the work on a machine shared with other work; wall time also
  // tells how busy the machine was.
  const double cpuStart = processCpuMs();
  const auto start = std::chrono::steady_clock::now();
  const int failed = runAll(job);
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
  const double cpu = processCpuMs() - cpuStart;
  std::printf("{\"mode\": \"%s\", \"images\": %zu, \"ms\": %.3f, \"cpu_ms\": %.3f, \"failed\": %d}\n",
              job.mode.c_str(), job.files.size() * size_t(job.passes), elapsed.count(), cpu, failed);
  return failed == 0 ? 0 : 1;
}
