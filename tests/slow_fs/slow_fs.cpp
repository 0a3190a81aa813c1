// A read-only mirror of a folder that answers every lookup, listing, open and read only after a
// delay, as a slow network share does. Tests mount it to prove the window never waits on a disk.
//   pimrose_slow_fs SOURCE_FOLDER MOUNT_POINT DELAY_MS
// Runs in the foreground until unmounted (fusermount3 -u MOUNT_POINT) or killed. SIGUSR2 hangs it, as
// a share whose server has gone away: every call waits until the next SIGUSR2, or until its caller
// is killed (the call then fails with EINTR, so a process that ends can end).
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string source;
int delayMs = 2000;
std::atomic<bool> hung{false};

void toggleHung(int) {
  hung = !hung;
}

// False when the caller was interrupted while the share hung.
bool wait() {
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  while (hung) {
    if (fuse_interrupted()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string real(const char* path) {
  return source + path;
}

int getattr(const char* path, struct stat* st, fuse_file_info* /*fi*/) {
  if (!wait()) return -EINTR;
  return lstat(real(path).c_str(), st) == 0 ? 0 : -errno;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t /*offset*/, fuse_file_info* /*fi*/,
            fuse_readdir_flags /*flags*/) {
  if (!wait()) return -EINTR;
  DIR* dir = opendir(real(path).c_str());
  if (!dir) return -errno;
  while (const dirent* entry = ::readdir(dir)) {
    struct stat st {};
    st.st_ino = entry->d_ino;
    st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
    fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags{});
  }
  closedir(dir);
  return 0;
}

int open(const char* path, fuse_file_info* fi) {
  if (!wait()) return -EINTR;
  if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
  const int fd = ::open(real(path).c_str(), O_RDONLY);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

int read(const char* /*path*/, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
  if (!wait()) return -EINTR;
  const ssize_t got = pread(static_cast<int>(fi->fh), buffer, size, offset);
  return got < 0 ? -errno : static_cast<int>(got);
}

int release(const char* /*path*/, fuse_file_info* fi) {
  close(static_cast<int>(fi->fh));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: pimrose_slow_fs SOURCE_FOLDER MOUNT_POINT DELAY_MS\n");
    return 2;
  }
  source = argv[1];
  delayMs = std::atoi(argv[3]);
  std::signal(SIGUSR2, toggleHung);
  fuse_operations operations{};
  operations.getattr = getattr;
  operations.readdir = readdir;
  operations.open = open;
  operations.read = read;
  operations.release = release;
  // Foreground, many threads (each slow call waits on its own), no attribute or entry caching.
  char name[] = "pimrose_slow_fs";
  char foreground[] = "-f";
  char options[] = "-oro,attr_timeout=0,entry_timeout=0,negative_timeout=0";
  char* fuseArgv[] = {name, foreground, options, argv[2], nullptr};
  return fuse_main(4, fuseArgv, &operations, nullptr);
}
