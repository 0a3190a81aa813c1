#include <filesystem>
#include <fstream>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tools/browser_load.h"
#include "tools/corpus.h"

namespace pimrose::bench {
namespace {

namespace fs = std::filesystem;

// A folder of `count` small pictures (hard links, as in the corpus), returned as a path.
QString smallPictures(const QTemporaryDir& dir, int count) {
  CorpusPlan plan;
  plan.dir = dir.path().toStdString();
  plan.photos = 0, plan.pngs = 0, plan.gifs = 0, plan.small = 3;
  plan.rss = {count};
  EXPECT_TRUE(makeCorpus(plan));
  return dir.filePath(QStringLiteral("rss-%1").arg(count));
}

BrowserLoadResult load(const QString& folder, int timeoutSeconds = 60) {
  BrowserLoad run({.folder = folder, .timeoutSeconds = timeoutSeconds});
  return run.run();
}

// More items than one screen holds: the load must scroll on by itself and end, in this order.
TEST(BrowserLoad, ScrollsThroughEveryItemAndTimesItsStagesInOrder) {
  QTemporaryDir dir;
  const BrowserLoadResult r = load(smallPictures(dir, 60));
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.items, 60);
  EXPECT_EQ(r.failed, 0);
  EXPECT_GT(r.screens, 1);
  EXPECT_GE(r.threads, 2);
  EXPECT_LE(0, r.listedMs);
  EXPECT_LE(r.listedMs, r.firstScreenAnyMs);
  EXPECT_LE(r.firstScreenAnyMs, r.firstScreenMs);
  EXPECT_LE(r.firstScreenMs, r.allMs);
  EXPECT_GT(r.maxStallMs, 0);
  EXPECT_GT(r.cpuMs, 0);
  EXPECT_GE(r.peakRssMb, r.rssBeforeMb);
}

TEST(BrowserLoad, ADamagedPictureIsCountedAndDoesNotHoldTheLoadUp) {
  QTemporaryDir dir;
  const QString folder = smallPictures(dir, 20);
  std::ofstream(fs::path(folder.toStdString()) / "damaged.jpg") << "not a picture at all";
  const BrowserLoadResult r = load(folder);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.items, 21);
  EXPECT_EQ(r.failed, 1);
}

TEST(BrowserLoad, AFolderWithoutPicturesEndsAtTheTimeoutWithNoItems) {
  QTemporaryDir dir;
  const BrowserLoadResult r = load(dir.path(), 1);
  EXPECT_TRUE(r.timedOut);
  EXPECT_EQ(r.items, 0);
  EXPECT_TRUE(toJson(r).contains("\"timed_out\": true"));
}

}  // namespace
}  // namespace pimrose::bench
