#include "browsing/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/sandbox.h"

namespace pimrose {
namespace {

using test::Sandbox;

// Enough long names for several blocks of entries, so the rest of the folder is read ahead.
constexpr int kManyFiles = 900;

std::string nameOf(int k) {
  return std::string(200, 'n') + std::to_string(k) + ".jpg";
}

void touch(const std::string& path) {
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ::close(fd);
}

// One folder for all the cases: making files is slow on some machines.
class FolderEntriesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    box_ = new Sandbox;
    folder_ = box_->path().toStdString() + "/";
    for (int k = 0; k < kManyFiles; ++k) touch(folder_ + nameOf(k));
  }
  static void TearDownTestSuite() { delete box_; }

  static const Sandbox* box_;
  static std::string folder_;
};

const Sandbox* FolderEntriesTest::box_ = nullptr;
std::string FolderEntriesTest::folder_;

// How often each name came, read through the read-ahead.
std::map<std::string, int> countNames(const std::string& folder, const std::atomic<bool>* cancel = nullptr) {
  std::map<std::string, int> seen;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EXPECT_GE(fd, 0);
  readFolderEntries(fd, cancel, [&](const FolderEntry& entry) { ++seen[std::string(entry.name)]; });
  ::close(fd);
  return seen;
}

// The same folder read by the C library in one go.
std::set<std::string> readdirNames(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (const dirent* entry = readdir(dir)) names.insert(entry->d_name);
  closedir(dir);
  return names;
}

TEST_F(FolderEntriesTest, ReadAheadGivesEveryEntryOnceAsASingleReadDoes) {
  const std::string& folder = folder_;
  const std::map<std::string, int> seen = countNames(folder);
  std::set<std::string> names;
  for (const auto& [name, count] : seen) {
    EXPECT_EQ(count, 1) << name;
    names.insert(name);
  }
  EXPECT_EQ(names, readdirNames(folder));
  for (int k = 0; k < kManyFiles; ++k) EXPECT_TRUE(names.count(nameOf(k))) << nameOf(k);
}

// Names made and removed meanwhile may come or not; every other name comes exactly once.
TEST_F(FolderEntriesTest, FolderChangingDuringTheReadLosesAndDoublesNoSteadyName) {
  const std::string& folder = folder_;
  std::atomic<bool> done{false};
  std::thread churn([&] {
    for (int k = 0; !done.load(); k = (k + 1) % 500) {
      const std::string path = folder + "churn-" + std::to_string(k) + ".jpg";
      touch(path);
      if (k % 2 == 0) ::unlink(path.c_str());
    }
  });
  for (int round = 0; round < 5; ++round) {
    std::map<std::string, int> seen = countNames(folder);
    for (int k = 0; k < kManyFiles; ++k) EXPECT_EQ(seen[nameOf(k)], 1) << nameOf(k) << " in round " << round;
    for (const auto& [name, count] : seen) EXPECT_EQ(count, 1) << name;
  }
  done = true;
  churn.join();
}

TEST_F(FolderEntriesTest, CancelledReadStopsAtOnceAndEndsTheReader) {
  const std::string& folder = folder_;
  std::atomic<bool> cancel{false};
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  int taken = 0;
  readFolderEntries(fd, &cancel, [&](const FolderEntry&) {
    if (++taken == 400) cancel = true;
  });
  ::close(fd);
  EXPECT_EQ(taken, 400);
}

}  // namespace
}  // namespace pimrose
