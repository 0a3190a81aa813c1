#include "thumbnails/icon_cache_trim.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/file_names.h"

namespace pimrose {
namespace {

// A width folder: 1 to 5 digits.
bool isWidthFolder(std::string_view name) {
  return !name.empty() && name.size() <= 5 &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<32 hex digits>.png", or that with ".XXXXXX" after it (a write's temporary file).
bool isEntryFile(std::string_view name) {
  constexpr size_t kEntry = 32 + 4;
  if (name.size() != kEntry && name.size() != kEntry + 7) return false;
  const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  if (!std::all_of(name.begin(), name.begin() + 32, hex) || name.substr(32, 4) != ".png") return false;
  return name.size() == kEntry || name[kEntry] == '.';
}

struct Found {
  int folder = 0;  // index into the open folders
  std::string name;
  timespec mtime{};
  qint64 bytes = 0;
};

// Directory descriptors, closed when the trim ends.
class Folders {
 public:
  ~Folders() {
    for (const int fd : fds_) ::close(fd);
  }
  int openAt(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) fds_.push_back(fd);
    return fd;
  }
  int fd(int index) const { return fds_[size_t(index)]; }
  int count() const { return int(fds_.size()); }

 private:
  std::vector<int> fds_;
};

// Calls `each` with the name of every entry of the folder `fd` (a duplicate is read, so `fd` stays
// open for the caller).
template <typename Each>
void forEachName(int fd, Each each) {
  const int copy = ::dup(fd);
  DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
  if (!dir) {
    if (copy >= 0) ::close(copy);
    return;
  }
  while (const dirent* entry = ::readdir(dir)) each(std::string_view(entry->d_name));
  ::closedir(dir);
}

bool older(const Found& a, const Found& b) {
  if (a.mtime.tv_sec != b.mtime.tv_sec) return a.mtime.tv_sec < b.mtime.tv_sec;
  return a.mtime.tv_nsec < b.mtime.tv_nsec;
}

}  // namespace

qint64 trimIconFolder(const QString& root, qint64 limit, qint64 target) {
  Folders folders;
  const int rootFd = folders.openAt(AT_FDCWD, encodeFileName(root).constData());
  if (rootFd < 0) return 0;
  std::vector<std::string> widths;
  forEachName(rootFd, [&](std::string_view name) {
    if (isWidthFolder(name)) widths.emplace_back(name);
  });
  std::vector<Found> found;
  qint64 total = 0;
  for (const std::string& width : widths) {
    const int fd = folders.openAt(rootFd, width.c_str());
    if (fd < 0) continue;
    const int index = folders.count() - 1;
    forEachName(fd, [&](std::string_view name) {
      if (!isEntryFile(name)) return;
      const std::string file(name);
      struct stat st {};
      if (::fstatat(fd, file.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return;
      found.push_back({index, file, st.st_mtim, qint64(st.st_size)});
      total += qint64(st.st_size);
    });
  }
  if (total <= limit) return total;
  std::sort(found.begin(), found.end(), older);
  for (const Found& entry : found) {
    if (total <= target) break;
    if (::unlinkat(folders.fd(entry.folder), entry.name.c_str(), 0) == 0) total -= entry.bytes;
  }
  return total;
}

}  // namespace pimrose
