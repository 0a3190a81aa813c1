#pragma once

#include <atomic>
#include <functional>
#include <string_view>

// Reading the entries of one open folder.
//
// The kernel's reading of a big folder takes tens of milliseconds (100,000 names on ext4 about 30),
// and what a walk does with each name a third as much again. A folder whose first block of entries
// comes back well filled can be read on ahead: the kernel's reading goes on on a thread of its own
// while the caller takes the entries already read, so the two overlap on two cores. That is worth a
// second busy thread only while nothing else needs the cores (the loaders wait for the listing's
// first pictures); a small folder is read on the calling thread alone.

namespace pimrose {

struct FolderEntry {
  std::string_view name;   // a zero follows it, so name.data() may be handed to the system
  unsigned char type = 0;  // as dirent's d_type (DT_UNKNOWN when the file system does not tell)
};

// Calls `take` for every entry of the folder open at `folderFd` ("." and ".." included), in the
// kernel's order, on the calling thread. Without `readAhead` the folder is read on the calling thread
// alone, whatever its size. Stops early, with the entries taken so far, once `cancel` reads true; a read
// error ends the entries as the end of the folder would. The descriptor stays open and must not be read by
// anyone else meanwhile (a stat relative to it is fine).
void readFolderEntries(int folderFd, const std::atomic<bool>* cancel,
                       const std::function<void(const FolderEntry&)>& take, bool readAhead = true);

}  // namespace pimrose
