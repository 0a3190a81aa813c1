#include <filesystem>
#include <fstream>

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "browsing/enumerate_pictures.h"
#include "tools/corpus.h"

namespace pimrose::bench {
namespace {

namespace fs = std::filesystem;

int countFiles(const fs::path& root) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

class CorpusTest : public ::testing::Test {
 protected:
  CorpusPlan tiny() const {
    CorpusPlan plan;
    plan.dir = dir_.path().toStdString();
    plan.photos = 2, plan.pngs = 1, plan.gifs = 1, plan.small = 2, plan.drops = {5}, plan.tree = 100;
    plan.rss = {7};
    plan.photoWidth = 64, plan.photoHeight = 48;
    return plan;
  }
  fs::path at(const char* relative) const { return fs::path(dir_.path().toStdString()) / relative; }

  QTemporaryDir dir_;
};

TEST_F(CorpusTest, LargeFoldersAreHardLinksToTheDistinctPicturesRoundRobin) {
  ASSERT_TRUE(makeCorpus(tiny()));
  EXPECT_EQ(countFiles(at("photos-2")), 2);
  EXPECT_EQ(countFiles(at("drop-5")), 5);
  EXPECT_EQ(countFiles(at("rss-7")), 7);
  EXPECT_TRUE(fs::equivalent(at("drop-5/IMG_000000.jpg"), at("photos-2/photo-000.jpg")));
  EXPECT_TRUE(fs::equivalent(at("drop-5/IMG_000001.jpg"), at("photos-2/photo-001.jpg")));
  EXPECT_TRUE(fs::equivalent(at("drop-5/IMG_000004.jpg"), at("photos-2/photo-000.jpg")));
  EXPECT_EQ(fs::hard_link_count(at("photos-2/photo-000.jpg")), 4u);  // itself and drops 0, 2, 4
  EXPECT_EQ(fs::file_size(at("pngs-1/photo-000.png")) > 0, true);
  EXPECT_EQ(fs::file_size(at("gifs-1/photo-000.gif")) > 0, true);
}

// find is given the same filter as the listing; both must find 3 names in 5.
TEST_F(CorpusTest, TreeHoldsTheCountAskedAndThreeInFiveArePictures) {
  ASSERT_TRUE(makeCorpus(tiny()));
  EXPECT_EQ(countFiles(at("tree-100")), 100);
  EXPECT_EQ(listPictures({QString::fromStdString(at("tree-100").string())}).size(), 60);
}

TEST_F(CorpusTest, ASecondRunKeepsWhatIsCompleteAndRedoesWhatWasInterrupted) {
  ASSERT_TRUE(makeCorpus(tiny()));
  const auto written = fs::last_write_time(at("photos-2/photo-000.jpg"));
  fs::create_directories(at("drop-3.partial"));
  std::ofstream(at("drop-3.partial/left-over.jpg")) << "x";
  CorpusPlan again = tiny();
  again.drops = {3};
  ASSERT_TRUE(makeCorpus(again));
  EXPECT_EQ(fs::last_write_time(at("photos-2/photo-000.jpg")), written);
  EXPECT_EQ(countFiles(at("drop-3")), 3);
  EXPECT_FALSE(fs::exists(at("drop-3.partial")));
  EXPECT_FALSE(fs::exists(at("drop-3/left-over.jpg")));
}

}  // namespace
}  // namespace pimrose::bench
