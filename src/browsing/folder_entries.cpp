#include "browsing/folder_entries.h"

#include <dirent.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace pimrose {
namespace {

// What the C library reads at a time; a folder of 100,000 short names is about 120 blocks.
constexpr size_t kBlockBytes = 32 * 1024;
// Blocks the reader may be ahead of the caller: enough to ride out a slow stretch of either side.
constexpr size_t kBlocksAhead = 4;
// A first block filled this far means more blocks follow, worth a thread to read them.
constexpr ssize_t kReadOnFrom = ssize_t(kBlockBytes / 2);

using Bytes = std::unique_ptr<char[]>;

struct Block {
  Bytes bytes;
  ssize_t size = 0;
};

bool cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// False once cancelled.
bool takeAll(const Block& block, const std::atomic<bool>* cancel,
             const std::function<void(const FolderEntry&)>& take) {
  for (ssize_t at = 0; at < block.size;) {
    if (cancelled(cancel)) return false;
    const auto* entry = reinterpret_cast<const dirent64*>(block.bytes.get() + at);
    take(FolderEntry{std::string_view(entry->d_name), entry->d_type});
    at += entry->d_reclen;
  }
  return true;
}

Block readBlock(int folderFd, Bytes bytes) {
  const ssize_t size = getdents64(folderFd, bytes.get(), kBlockBytes);
  return {std::move(bytes), size};
}

// The rest of the folder, read on a thread of its own into blocks the caller hands back once taken.
class ReadAhead {
 public:
  ReadAhead(int folderFd, const std::atomic<bool>* cancel) : folderFd_(folderFd), cancel_(cancel) {
    for (size_t k = 0; k < kBlocksAhead; ++k)
      free_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
    thread_ = std::thread([this] { read(); });
  }

  ~ReadAhead() {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next block read; an empty one at the end.
  Block next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !filled_.empty() || ended_; });
    if (filled_.empty()) return {};
    Block block = std::move(filled_.front());
    filled_.pop_front();
    return block;
  }

  void giveBack(Bytes bytes) {
    {
      const std::lock_guard lock(mutex_);
      free_.push_back(std::move(bytes));
    }
    changed_.notify_all();
  }

 private:
  void read() {
    for (;;) {
      Bytes bytes;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
        if (stop_) return;
        bytes = std::move(free_.back());
        free_.pop_back();
      }
      Block block = cancelled(cancel_) ? Block{} : readBlock(folderFd_, std::move(bytes));
      const bool end = block.size <= 0;
      {
        const std::lock_guard lock(mutex_);
        if (end)
          ended_ = true;
        else
          filled_.push_back(std::move(block));
      }
      changed_.notify_all();
      if (end) return;
    }
  }

  const int folderFd_;
  const std::atomic<bool>* cancel_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Bytes> free_;
  std::deque<Block> filled_;
  bool ended_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: it starts once the rest is made
};

// The read-ahead, or none when the system has no thread to spare.
std::unique_ptr<ReadAhead> startReadAhead(int folderFd, const std::atomic<bool>* cancel) {
  try {
    return std::make_unique<ReadAhead>(folderFd, cancel);
  } catch (const std::system_error&) {
    return nullptr;
  }
}

}  // namespace

void readFolderEntries(int folderFd, const std::atomic<bool>* cancel,
                       const std::function<void(const FolderEntry&)>& take, bool readAhead) {
  if (cancelled(cancel)) return;
  Block first = readBlock(folderFd, std::make_unique_for_overwrite<char[]>(kBlockBytes));
  std::unique_ptr<ReadAhead> ahead =
      readAhead && first.size >= kReadOnFrom ? startReadAhead(folderFd, cancel) : nullptr;
  if (!ahead) {
    for (Block block = std::move(first); block.size > 0; block = readBlock(folderFd, std::move(block.bytes)))
      if (!takeAll(block, cancel, take)) return;
    return;
  }
  if (!takeAll(first, cancel, take)) return;
  for (Block block = ahead->next(); block.size > 0; block = ahead->next()) {
    const bool goOn = takeAll(block, cancel, take);
    ahead->giveBack(std::move(block.bytes));
    if (!goOn) return;
  }
}

}  // namespace pimrose
