#include <gtest/gtest.h>

#include <vector>

#include "support/sandbox.h"
#include "system/interface_table.h"
#include "system/load_sampler.h"
#include "system/os_facts.h"
#include "system/processor_load.h"

namespace pimrose {
namespace {

QByteArray statWith(qint64 busy, qint64 idle) {
  // user nice system idle iowait irq softirq steal guest guest_nice; guest is inside user.
  return QByteArray("cpu  ") + QByteArray::number(busy) + " 0 0 " + QByteArray::number(idle) +
         " 0 0 0 0 999 0\ncpu0 1 2 3 4\nbtime 1700000000\n";
}

struct Interface {
  const char* name;
  qint64 in;
  qint64 out;
};

QByteArray netDev(const std::vector<Interface>& rows) {
  QByteArray text =
      "Inter-|   Receive                                                |  Transmit\n"
      " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo "
      "colls carrier compressed\n";
  for (const Interface& row : rows)
    text += QByteArray("  ") + row.name + ": " + QByteArray::number(row.in) + " 5 0 0 0 0 0 0 " +
            QByteArray::number(row.out) + " 7 0 0 0 0 0 0\n";
  return text;
}

TEST(ProcessorLoadTest, SamplesFromIdleAgainstTotal) {
  struct Case {
    const char* what;
    qint64 busyDelta;
    qint64 idleDelta;
    int expected;
  };
  const Case cases[] = {
      {"a quarter busy", 25, 75, 25},    {"half up rounding", 145, 855, 15},  // 14.5 % rounds to 15
      {"just below half", 144, 856, 14}, {"all idle is clamped to 1", 0, 100, 1},
      {"all busy", 100, 0, 100},         {"seven percent", 7, 93, 7},
  };
  for (const Case& c : cases) {
    const test::Sandbox root;
    root.write(QStringLiteral("proc/stat"), statWith(1000, 5000));
    ProcessorLoad load{SystemFiles(root.path())};
    EXPECT_EQ(load.sample(), 100) << c.what << ": the first sample has nothing to compare with";
    root.write(QStringLiteral("proc/stat"), statWith(1000 + c.busyDelta, 5000 + c.idleDelta));
    EXPECT_EQ(load.sample(), c.expected) << c.what;
  }
}

TEST(ProcessorLoadTest, FailedAndEmptySamples) {
  const test::Sandbox root;
  ProcessorLoad load{SystemFiles(root.path())};
  EXPECT_EQ(load.sample(), -1) << "no /proc/stat";
  root.write(QStringLiteral("proc/stat"), "intr 1 2 3\n");
  EXPECT_EQ(load.sample(), -1) << "no cpu line";
  root.write(QStringLiteral("proc/stat"), statWith(100, 100));
  EXPECT_EQ(load.sample(), 100);
  root.write(QStringLiteral("proc/stat"), "cpu  garbage\n");
  EXPECT_EQ(load.sample(), -1);
  // The failed sample kept the stores: this one measures from the last good sample.
  root.write(QStringLiteral("proc/stat"), statWith(130, 170));
  EXPECT_EQ(load.sample(), 30);
  // No time passed between two samples: no division by zero, the figure stays.
  EXPECT_EQ(load.sample(), 30);
}

TEST(NetworkDeltasTest, FirstQualifyingRowInTableOrder) {
  struct Case {
    const char* what;
    std::vector<Interface> before;
    std::vector<Interface> after;
    qint64 up;
    qint64 down;
  };
  const std::vector<Case> cases = {
      {"two qualifying rows show the earlier",
       {{"lo", 0, 0}, {"eth0", 0, 0}},
       {{"lo", 100, 200}, {"eth0", 5000, 6000}},
       200,
       100},
      {"a one-byte delta does not qualify",
       {{"lo", 10, 10}, {"eth0", 0, 0}},
       {{"lo", 11, 500}, {"eth0", 3, 4}},
       4,
       3},
      {"receive-only does not qualify",
       {{"lo", 10, 10}, {"eth0", 0, 0}},
       {{"lo", 900, 10}, {"eth0", 30, 40}},
       40,
       30},
      {"two bytes is enough", {{"eth0", 0, 0}}, {{"eth0", 2, 2}}, 2, 2},
      {"a counter that went back does not qualify", {{"eth0", 900, 900}}, {{"eth0", 5, 5}}, 0, 0},
      {"an added row gives zeros", {{"eth0", 0, 0}}, {{"eth0", 100, 100}, {"wlan0", 100, 100}}, 0, 0},
      {"a removed row gives zeros", {{"eth0", 0, 0}, {"wlan0", 0, 0}}, {{"eth0", 100, 100}}, 0, 0},
  };
  for (const Case& c : cases) {
    const test::Sandbox root;
    NetworkDeltas deltas{SystemFiles(root.path())};
    root.write(QStringLiteral("proc/net/dev"), netDev(c.before));
    deltas.sample();
    root.write(QStringLiteral("proc/net/dev"), netDev(c.after));
    const TrafficDelta delta = deltas.sample();
    EXPECT_EQ(delta.up, c.up) << c.what;
    EXPECT_EQ(delta.down, c.down) << c.what;
  }
}

TEST(NetworkDeltasTest, FirstTickAndFailedReads) {
  const test::Sandbox root;
  NetworkDeltas deltas{SystemFiles(root.path())};
  // The never-read table has one row, so with exactly one interface the first tick shows its
  // whole counters; with two it shows nothing.
  root.write(QStringLiteral("proc/net/dev"), netDev({{"eth0", 1000, 2000}}));
  EXPECT_EQ(networkDeltasText(deltas.sample()), QStringLiteral("2000|1000"));
  root.write(QStringLiteral("proc/net/dev"), netDev({{"eth0", 1500, 2600}}));
  EXPECT_EQ(networkDeltasText(deltas.sample()), QStringLiteral("600|500"));
  QFile::remove(root.filePath(QStringLiteral("proc/net/dev")));
  EXPECT_EQ(networkDeltasText(deltas.sample()), QStringLiteral("0|0"));
  // After a failed read the previous table is a fresh one: a one-interface machine compares
  // against zeros again.
  root.write(QStringLiteral("proc/net/dev"), netDev({{"eth0", 1600, 2700}}));
  EXPECT_EQ(networkDeltasText(deltas.sample()), QStringLiteral("2700|1600"));
  root.write(QStringLiteral("proc/net/dev"), netDev({{"eth0", 1, 1}, {"wlan0", 5, 5}}));
  EXPECT_EQ(networkDeltasText(deltas.sample()), QStringLiteral("0|0")) << "the row count changed";
}

TEST(LoadSamplerTest, StatusLinesTexts) {
  const test::Sandbox root;
  root.write(QStringLiteral("proc/stat"), statWith(0, 0));
  root.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\nMemFree: 10 kB\nMemAvailable:   580 kB\n");
  root.write(QStringLiteral("proc/net/dev"), netDev({{"lo", 0, 0}, {"eth0", 0, 0}}));
  const OsFacts facts(systemOsFactSources(SystemFiles(root.path())));
  LoadSampler sampler{facts, SystemFiles(root.path())};
  sampler.widgetCreated();
  StatusLines lines = sampler.RefreshStatusLines();
  EXPECT_EQ(lines.upper, QStringLiteral("核心：100%  下载：0"));
  EXPECT_EQ(lines.lower, QStringLiteral("内存：42%  上传：0"));

  root.write(QStringLiteral("proc/stat"), statWith(7, 93));
  root.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\nMemAvailable:   950 kB\n");
  root.write(QStringLiteral("proc/net/dev"), netDev({{"lo", 1536, 3277}, {"eth0", 0, 0}}));
  lines = sampler.RefreshStatusLines();
  EXPECT_EQ(lines.upper, QStringLiteral("核心：07%  下载：1.5K"));
  EXPECT_EQ(lines.lower, QStringLiteral("内存：05%  上传：3.2K"));
}

TEST(LoadSamplerTest, UnknownFiguresShowDashes) {
  const test::Sandbox root;
  const OsFacts facts(systemOsFactSources(SystemFiles(root.path())));
  LoadSampler sampler{facts, SystemFiles(root.path())};
  sampler.widgetCreated();  // no meminfo: the total is unknown, so no division by zero
  root.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\nMemAvailable: 500 kB\n");
  StatusLines lines = sampler.RefreshStatusLines();
  EXPECT_EQ(lines.upper, QStringLiteral("核心：--%  下载：0"));
  EXPECT_EQ(lines.lower, QStringLiteral("内存：--%  上传：0"));
  sampler.widgetCreated();
  EXPECT_EQ(sampler.RefreshStatusLines().lower, QStringLiteral("内存：50%  上传：0"));
  root.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\n");
  EXPECT_EQ(sampler.RefreshStatusLines().lower, QStringLiteral("内存：--%  上传：0"))
      << "a failed free-memory read is not full memory";
}

// The memory figure is the program's OS facts, whatever the sampler's own files say.
TEST(LoadSamplerTest, MemoryComesThroughTheOsFacts) {
  const test::Sandbox facts, files;
  facts.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\nMemAvailable:   580 kB\n");
  files.write(QStringLiteral("proc/meminfo"), "MemTotal:  1000 kB\nMemAvailable:   900 kB\n");
  const OsFacts osFacts(systemOsFactSources(SystemFiles(facts.path())));
  LoadSampler sampler{osFacts, SystemFiles(files.path())};
  sampler.widgetCreated();
  EXPECT_EQ(sampler.RefreshStatusLines().lower, QStringLiteral("内存：42%  上传：0"));
}

TEST(LoadSamplerTest, PercentTexts) {
  const QString cpu = QStringLiteral("核心：");
  EXPECT_EQ(percentText(cpu, 0), QStringLiteral("核心：00%"));
  EXPECT_EQ(percentText(cpu, 9), QStringLiteral("核心：09%"));
  EXPECT_EQ(percentText(cpu, 10), QStringLiteral("核心：10%"));
  EXPECT_EQ(percentText(cpu, 100), QStringLiteral("核心：100%"));
  EXPECT_EQ(percentText(cpu, -1), QStringLiteral("核心：--%"));
}

}  // namespace
}  // namespace pimrose
