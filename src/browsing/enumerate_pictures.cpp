#include "browsing/enumerate_pictures.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "browsing/browsing_log.h"
#include "browsing/name_order.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

enum class Kind { Other, File, Folder };

using Entry = NamedFile;

struct FolderContents {
  std::vector<FolderNames> filesByType;
  std::vector<Entry> folders;
};

struct FolderId {
  dev_t device;
  ino_t inode;
  bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
  size_t operator()(const FolderId& id) const noexcept {
    return std::hash<ino_t>()(id.inode) ^ (std::hash<dev_t>()(id.device) * 0x9e3779b97f4a7c15ULL);
  }
};

// The longest path the system opens, in bytes (PATH_MAX counts the closing zero).
constexpr size_t kMaxPathBytes = PATH_MAX - 1;
// The device of the folder a walk starts from is not known: its file system is always looked at.
constexpr dev_t kNoDevice = dev_t(-1);

// File systems that show the kernel's state as folders: linked in every direction, never pictures.
constexpr std::uint32_t kKernelFileSystems[] = {
    PROC_SUPER_MAGIC, SYSFS_MAGIC,      CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC, DEBUGFS_MAGIC,
    TRACEFS_MAGIC,    SECURITYFS_MAGIC, PSTOREFS_MAGIC,     BPF_FS_MAGIC,        DEVPTS_SUPER_MAGIC,
};

bool isKernelFileSystem(int folderFd) {
  struct statfs fs {};
  if (fstatfs(folderFd, &fs) != 0) return false;
  const auto type = static_cast<std::uint32_t>(fs.f_type);
  return std::find(std::begin(kKernelFileSystems), std::end(kKernelFileSystems), type) !=
         std::end(kKernelFileSystems);
}

// Suffixes ".jpg", ".png", ... in lower case; an empty type matches nothing.
std::vector<std::string> suffixesOf(const QString& types) {
  std::vector<std::string> suffixes;
  for (const QString& type : types.split(u'|')) {
    std::string suffix;
    if (!type.isEmpty()) suffix.append(1, '.').append(type.toLower().toStdString());
    suffixes.push_back(std::move(suffix));
  }
  return suffixes;
}

bool endsWithIgnoringCase(std::string_view name, std::string_view lowerSuffix) {
  if (lowerSuffix.empty() || name.size() < lowerSuffix.size()) return false;
  const std::string_view tail = name.substr(name.size() - lowerSuffix.size());
  for (size_t k = 0; k < tail.size(); ++k) {
    const char c = tail[k];
    const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (lower != lowerSuffix[k]) return false;
  }
  return true;
}

int typeIndexOf(std::string_view name, const std::vector<std::string>& suffixes) {
  for (size_t k = 0; k < suffixes.size(); ++k)
    if (endsWithIgnoringCase(name, suffixes[k])) return int(k);
  return -1;
}

// d_type answers most entries without a stat; links and unknown types are followed with one.
Kind kindOf(int folderFd, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG:
      return Kind::File;
    case DT_DIR:
      return Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
      break;
    default:
      return Kind::Other;  // fifos, sockets and devices would hang or mislead a loader
  }
  struct stat st {};
  if (fstatat(folderFd, entry.d_name, &st, 0) != 0) return Kind::Other;  // vanished or dangling
  if (S_ISDIR(st.st_mode)) return Kind::Folder;
  return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
}

bool isDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

// The part before the first zero unit, ending in '/'; empty when nothing is left.
QString normalisedFolder(const QString& folder) {
  const qsizetype zero = folder.indexOf(QChar(u'\0'));
  QString cut = zero < 0 ? folder : folder.left(zero);
  if (cut.isEmpty()) return cut;
  if (!cut.endsWith(u'/')) cut.append(u'/');
  return cut;
}

// One walk over any number of starting folders: the folders it has read, its limits and what it
// had to leave out are shared by all of them.
class Walker {
 public:
  Walker(const QString& types, QStringList& result, EnumerateOptions options, const CancelFlag* cancel,
         FoundCount* found, const WalkLimits& limits, const FirstPictures& first = {})
      : suffixes_(suffixesOf(types)),
        result_(result),
        options_(options),
        cancel_(cancel),
        found_(found),
        limits_(limits),
        first_(first) {
    summary_.asciiNames = true;
  }

  // An empty path names no folder here (it is not silently taken as the current or root folder).
  // `last`: no other starting folder follows.
  void walkFrom(const QString& folder, bool last) {
    const QString start = normalisedFolder(folder);
    if (start.isEmpty()) return;
    const QByteArray bytes = encodeFileName(start);
    walk(std::string(bytes.constData(), size_t(bytes.size())), start, kNoDevice, last);
  }

  const WalkSummary& summary() const { return summary_; }

 private:
  bool stopped() const {
    return summary_.limitReached || (cancel_ && cancel_->load(std::memory_order_relaxed));
  }

  // `last`: nothing is walked after this folder's own tree.
  void walk(const std::string& folder, const QString& folderText, dev_t parentDevice, bool last) {
    if (stopped()) return;
    FolderContents contents;
    dev_t device = kNoDevice;
    if (!read(folder, folderText, parentDevice, contents, device)) return;
    const qsizetype before = appended_;
    const std::vector<std::vector<quint32>> orders =
        orderFiles(contents.filesByType, folderText, tellsFirst(contents, folderText, last));
    for (size_t type = 0; type < orders.size(); ++type)
      appendFiles(contents.filesByType[type], folderText, orders[type]);
    if (found_) found_->fetch_add(appended_ - before, std::memory_order_relaxed);
    const std::vector<quint32> folders = orderByName(contents.folders);
    for (size_t k = 0; k < folders.size(); ++k)
      visitFolder(folder, folderText, contents.folders[folders[k]], device, last && k + 1 == folders.size());
  }

  // Whether this folder's pictures end the listing, so its last names are the listing's first
  // pictures: the last folder walked, with no sub-folder, enough pictures, and room for all of them.
  bool tellsFirst(const FolderContents& contents, const QString& folderText, bool last) const {
    if (!last || firstTold_ || first_.count <= 0 || !first_.found || !contents.folders.empty() || stopped())
      return false;
    qsizetype pictures = 0, units = 0;
    for (const FolderNames& files : contents.filesByType) {
      pictures += qsizetype(files.size());
      units += files.shownUnits() + qsizetype(files.size()) * prefixOf(folderText).size();
    }
    return pictures >= first_.count && appended_ + pictures <= limits_.pictures &&
           units_ + units <= limits_.pathUnits;
  }

  // Each type's names in order; with `tell`, the listing's first pictures (the last type's last
  // names first, since the listing is reversed) are told before the names are ordered in full.
  std::vector<std::vector<quint32>> orderFiles(const std::vector<FolderNames>& filesByType,
                                               const QString& folderText, bool tell) {
    std::vector<std::vector<quint32>> orders(filesByType.size());
    qsizetype wanted = tell ? first_.count : 0;
    QStringList first;
    for (size_t type = filesByType.size(); type-- > 0;) {
      const FolderNames& files = filesByType[type];
      const size_t count = size_t(std::min(wanted, qsizetype(files.size())));
      orders[type] = orderByName(files, count, [&](std::span<const quint32> last) {
        for (auto at = last.rbegin(); at != last.rend(); ++at) first.append(pathOf(folderText, files, *at));
        wanted -= qsizetype(last.size());
        if (wanted > 0) return;
        firstTold_ = true;
        first_.found(first);
      });
    }
    return orders;
  }

  // Reads the whole folder and closes it before descending, so a deep tree holds one descriptor.
  bool read(const std::string& folder, const QString& folderText, dev_t parentDevice,
            FolderContents& contents, dev_t& device) {
    if (summary_.folders >= limits_.folders) {
      summary_.limitReached = true;
      return false;
    }
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    const bool fresh = enter(dirfd(dir), parentDevice, device);
    if (fresh) {
      ++summary_.folders;
      contents.filesByType.resize(suffixes_.size());
      while (!stopped()) {
        const dirent* entry = readdir(dir);
        if (!entry) break;
        classify(dirfd(dir), folder, folderText, *entry, contents);
      }
    }
    closedir(dir);
    return fresh;
  }

  // Marks the folder as read; false when this walk has read it before (a link or a bind mount led
  // here again) or when it belongs to the kernel's own file systems.
  bool enter(int folderFd, dev_t parentDevice, dev_t& device) {
    struct stat st {};
    if (fstat(folderFd, &st) != 0) return false;
    device = st.st_dev;
    if (!visited_.insert({st.st_dev, st.st_ino}).second) return false;
    return st.st_dev == parentDevice || !isKernelFileSystem(folderFd);
  }

  void classify(int folderFd, const std::string& folder, const QString& folderText, const dirent& entry,
                FolderContents& contents) {
    const std::string_view name(entry.d_name);
    if (name.empty() || isDotOrDotDot(name)) return;
    const int type = typeIndexOf(name, suffixes_);
    const bool wantFolders = options_.recurse || options_.includeFolders;
    if (type < 0 && !wantFolders) return;
    if (type < 0 && entry.d_type == DT_REG) return;
    const Kind kind = kindOf(folderFd, entry);
    const bool picture = kind == Kind::File && type >= 0;
    const bool subFolder = kind == Kind::Folder && wantFolders;
    if (!picture && !subFolder) return;
    // A sub-folder's own path ends in '/'.
    if (folder.size() + name.size() + (subFolder ? 1 : 0) > kMaxPathBytes) {
      noteTooLong(folderText, name);
      return;
    }
    if (subFolder) {
      contents.folders.push_back(Entry{std::string(name), decodeFileName(name)});
      return;
    }
    // Only the name is kept until the folder is ordered: a big folder is read sooner that way, and
    // its first screenful told sooner. Its scripts are noted while the name is at hand, so the
    // listing's names are not read again for them.
    if (!contents.filesByType[size_t(type)].add(name)) summary_.asciiNames = false;
  }

  void noteTooLong(const QString& folderText, std::string_view name) {
    if (summary_.tooLong++ == 0) summary_.firstTooLong = folderText + decodeFileName(name);
  }

  const QString& prefixOf(const QString& folderText) const {
    static const QString none;
    return options_.fullPaths ? folderText : none;
  }

  // A picture's whole path is made once, here: the listing hands it out as it is.
  // An ASCII name is widened straight into a string made at its size: a folder of 100,000 pictures
  // makes its paths once it is ordered, while the loaders decode the first screen.
  QString pathOf(const QString& folderText, const FolderNames& files, quint32 at) const {
    const QString& prefix = prefixOf(folderText);
    const std::string_view name = files.name(at);
    if (files.ascii(at)) {
      QString path(prefix.size() + qsizetype(name.size()), Qt::Uninitialized);
      char16_t* out = std::copy_n(prefix.utf16(), prefix.size(), reinterpret_cast<char16_t*>(path.data()));
      for (const char c : name) *out++ = char16_t(static_cast<unsigned char>(c));
      return path;
    }
    QString path;
    path.reserve(prefix.size() + qsizetype(name.size()));
    path += prefix;
    files.appendShown(path, at);
    return path;
  }

  void appendFiles(const FolderNames& files, const QString& folderText, const std::vector<quint32>& order) {
    for (const quint32 at : order) {
      QString path = pathOf(folderText, files, at);
      if (!fits(path)) return;
      units_ += path.size();
      ++appended_;
      result_.append(std::move(path));
    }
  }

  bool fits(const QString& path) {
    if (appended_ < limits_.pictures && units_ + path.size() <= limits_.pathUnits) return true;
    summary_.limitReached = true;
    return false;
  }

  void visitFolder(const std::string& folder, const QString& folderText, const Entry& sub, dev_t device,
                   bool last) {
    const QString subText = folderText + sub.text + u'/';
    if (options_.includeFolders) result_.append(subText);
    if (options_.recurse) walk(folder + sub.name + '/', subText, device, last);
  }

  std::vector<std::string> suffixes_;
  QStringList& result_;
  EnumerateOptions options_;
  const CancelFlag* cancel_;
  FoundCount* found_;
  WalkLimits limits_;
  FirstPictures first_;
  bool firstTold_ = false;
  WalkSummary summary_;
  std::unordered_set<FolderId, FolderIdHash> visited_;
  qsizetype appended_ = 0;
  qsizetype units_ = 0;
};

// Entries the walk could not list are worth a line even with logging off: the list looks complete.
void logWhatWasLeftOut(const WalkSummary& summary, qsizetype listed) {
  if (summary.tooLong > 0)
    qCWarning(lcBrowsing).nospace() << "left out " << summary.tooLong
                                    << " entries whose paths are longer than " << kMaxPathBytes
                                    << " bytes, which no program can open by name; the first: "
                                    << summary.firstTooLong.left(160) << "...";
  if (summary.limitReached)
    qCWarning(lcBrowsing) << "the walk stopped at its limit after" << summary.folders << "folders and"
                          << listed << "pictures; the list shows those";
}

}  // namespace

void enumeratePictures(const QString& folder, const QString& types, QStringList& result,
                       EnumerateOptions options, const CancelFlag* cancel, FoundCount* found) {
  if (!options.recurse) result.clear();
  Walker(types, result, options, cancel, found, WalkLimits{}).walkFrom(folder, true);
}

QStringList listPictures(const QStringList& paths, const CancelFlag* cancel, FoundCount* found,
                         const QString& types, const WalkLimits& limits, WalkSummary* summary,
                         const FirstPictures& first) {
  QStringList combined;
  Walker walker(types, combined, {}, cancel, found, limits, first);
  for (qsizetype k = 0; k < paths.size(); ++k) walker.walkFrom(paths[k], k + 1 == paths.size());
  std::reverse(combined.begin(), combined.end());
  logWhatWasLeftOut(walker.summary(), combined.size());
  if (summary) *summary = walker.summary();
  return combined;
}

}  // namespace pimrose
