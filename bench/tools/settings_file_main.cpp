// Prints one JSON line per kind of settings file met in use, and a last line with the worst of them:
// how long the UI thread works (its own CPU time) and waits at start-up when the settings are
// restored, when the save button is pressed and at exit, the longest turn of the event loop while
// the save runs, and the peak memory of the process.
//   pimrose-bench-settings [--large-mb N]
// The files: code page 936 files of 5 MB and N MB (50 by default) whose settings come at their end,
// a FIFO, a link to /dev/zero, and a read-only file.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/settings.h"
#include "platform/ini_encoding.h"
#include "tools/process_stats.h"
#include "ui/controls.h"

namespace {

using pimrose::Settings;

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall and UI-thread CPU time of one call.
struct Timing {
  double wallMs = 0;
  double busyMs = 0;
};

template <typename Call>
Timing timed(Call call) {
  QElapsedTimer wall;
  const double cpu = threadCpuMs();
  wall.start();
  call();
  return {double(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpu};
}

// A code page 936 file of about `bytes`: a long history section nobody owns, with comment lines and
// lines of plain text, then the program's own sections.
QByteArray legacyFile(qint64 bytes) {
  QByteArray file =
      pimrose::encodeIniText(u"; 旧版本写的配置\r\n[历史记录]\r\n", pimrose::IniEncoding::ChineseAnsi);
  const QByteArray record = pimrose::encodeIniText(
      u"=这是一条很长的历史记录，用来把文件撑大，内容无关紧要\r\n", pimrose::IniEncoding::ChineseAnsi);
  const QByteArray comment =
      pimrose::encodeIniText(u"；这是一行中文注释，不属于任何设置\r\n", pimrose::IniEncoding::ChineseAnsi);
  for (int i = 0; file.size() < bytes; ++i)
    file += (i % 10 == 9 ? comment : "记录" + QByteArray::number(i) + record);
  file += pimrose::encodeIniText(
      u"[选择框]\r\n选择框_快速加载=真\r\n选择框_关闭提示=真\r\n[组合框]\r\n下拉框_皮肤=1<|>白色\r\n[初始化]"
      u"\r\n"
      u"图片比例=40\r\n",
      pimrose::IniEncoding::ChineseAnsi);
  return file;
}

struct Result {
  Timing start, button, exit;
  double longestTurnMs = 0;
  bool written = false;
  bool kept = false;  // the settings at the end of the file were restored
};

Result measure(const QString& path) {
  Result result;
  const auto window = pimrose::ui::loadWindow(pimrose::ui::mainWindowDefinition());
  const auto controls = pimrose::ui::resolveControls<pimrose::ui::MainWindowControls>(*window);
  std::unique_ptr<Settings> settings;
  result.start = timed([&] {
    settings = std::make_unique<Settings>(*window, controls, path, Settings::Hooks{});
    settings->ApplySkin(0, true);
    settings->storedValue(QStringLiteral("初始化"), QStringLiteral("图片比例"), QStringLiteral("24"));
  });
  result.kept = controls.选择框_快速加载->isChecked() && controls.选择框_关闭提示->isChecked() &&
                settings->storedValue(QStringLiteral("初始化"), QStringLiteral("图片比例"), {}) == u"40";

  // The save button: the UI thread's turns while the file is written in the background.
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  QTimer turn;
  turn.setTimerType(Qt::PreciseTimer);
  QObject::connect(&turn, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  bool saved = false;
  clock.start();
  turn.start(1);
  result.button = timed([&] {
    settings->saveInBackground([&](bool written) {
      saved = true;
      result.written = written;
      QCoreApplication::exit(0);
    });
  });
  QTimer patience;
  patience.setSingleShot(true);
  QObject::connect(&patience, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  patience.start(120000);
  if (!saved) QCoreApplication::exec();
  turn.stop();
  result.longestTurnMs = double(longest) / 1e6;
  result.exit = timed([&] { settings->SaveSettings(); });
  return result;
}

void print(const char* name, const Result& r) {
  std::printf(
      "{\"file\": \"%s\", \"start_wall_ms\": %.1f, \"start_busy_ms\": %.2f, \"button_busy_ms\": %.2f, "
      "\"longest_turn_ms\": %.2f, \"exit_wall_ms\": %.1f, \"exit_busy_ms\": %.2f, \"written\": %s, \"kept\": "
      "%s}\n",
      name, r.start.wallMs, r.start.busyMs, r.button.busyMs, r.longestTurnMs, r.exit.wallMs, r.exit.busyMs,
      r.written ? "true" : "false", r.kept ? "true" : "false");
}

}  // namespace

int main(int argc, char** argv) {
  qint64 largeMb = 50;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--large-mb" && i + 1 < argc) {
      largeMb = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: %s [--large-mb N]\n", argv[0]);
      return arg == "--help" ? 0 : 2;
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const auto write = [&dir](const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::exit(1);
    return file.fileName();
  };
  const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
  const QString zero = dir.filePath(QStringLiteral("zero.ini"));
  if (::mkfifo(QFile::encodeName(fifo).constData(), 0644) != 0 ||
      !QFile::link(QStringLiteral("/dev/zero"), zero))
    return 1;
  const QString readOnly = write(QStringLiteral("read-only.ini"), legacyFile(4096));
  ::chmod(QFile::encodeName(readOnly).constData(), 0444);

  const QString small = write(QStringLiteral("legacy-5.ini"), legacyFile(5 << 20));
  const QString large = write(QStringLiteral("legacy-large.ini"), legacyFile(largeMb << 20));

  // The memory a settings file costs: the high-water mark over what the process holds now, with
  // the files made (and their bytes freed) and no settings yet. Writing 5 to clear_refs starts the
  // mark afresh, so making the files does not count.
  QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
  if (clearRefs.open(QIODevice::WriteOnly)) clearRefs.write("5");
  clearRefs.close();
  const double idleMb = pimrose::bench::residentMb();
  double busiest = 0, longestTurn = 0;
  bool allKept = true;
  const auto run = [&](const char* name, const QString& path, bool expectKept) {
    const Result result = measure(path);
    print(name, result);
    busiest = std::max({busiest, result.start.busyMs, result.button.busyMs, result.exit.busyMs});
    longestTurn = std::max(longestTurn, result.longestTurnMs);
    allKept = allKept && result.kept == expectKept;
  };
  run("legacy 5 MB", small, true);
  run("legacy large", large, true);
  run("fifo", fifo, false);
  run("link to /dev/zero", zero, false);
  run("read-only", readOnly, true);
  std::printf(
      "{\"max_ui_busy_ms\": %.2f, \"longest_turn_ms\": %.2f, \"peak_over_idle_mb\": %.1f, \"all_kept\": "
      "%s}\n",
      busiest, longestTurn, pimrose::bench::peakResidentMb() - idleMb, allKept ? "true" : "false");
  return allKept ? 0 : 1;
}
