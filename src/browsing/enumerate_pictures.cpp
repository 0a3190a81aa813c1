#include "browsing/enumerate_pictures.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/file_names.h"

namespace pimrose {
namespace {

enum class Kind { Other, File, Folder };

struct Entry {
  std::string name;
  QString text;
};

struct FolderContents {
  std::vector<std::vector<Entry>> filesByType;
  std::vector<Entry> folders;
};

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

bool nameOrder(const Entry& a, const Entry& b) {
  const int byText = a.text.compare(b.text, Qt::CaseInsensitive);
  return byText != 0 ? byText < 0 : a.name < b.name;
}

bool isDotOrDotDot(std::string_view name) {
  return name == "." || name == "..";
}

class Walker {
 public:
  Walker(const QString& types, QStringList& result, EnumerateOptions options, const CancelFlag* cancel,
         FoundCount* found)
      : suffixes_(suffixesOf(types)), result_(result), options_(options), cancel_(cancel), found_(found) {}

  void walk(const std::string& folder, const QString& folderText) {
    if (cancel_ && cancel_->load(std::memory_order_relaxed)) return;
    FolderContents contents;
    std::pair<dev_t, ino_t> identity;
    if (!read(folder, contents, identity)) return;
    ancestors_.push_back(identity);
    for (auto& files : contents.filesByType) appendFiles(files, folderText);
    if (found_) {
      qsizetype pictures = 0;
      for (const auto& files : contents.filesByType) pictures += qsizetype(files.size());
      found_->fetch_add(pictures, std::memory_order_relaxed);
    }
    std::sort(contents.folders.begin(), contents.folders.end(), nameOrder);
    for (const Entry& sub : contents.folders) visitFolder(folder, folderText, sub);
    ancestors_.pop_back();
  }

 private:
  // Reads the whole folder and closes it before descending, so a deep tree holds one descriptor.
  bool read(const std::string& folder, FolderContents& contents, std::pair<dev_t, ino_t>& identity) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    struct stat st {};
    const bool known = fstat(dirfd(dir), &st) == 0;
    identity = {st.st_dev, st.st_ino};
    if (!known || std::find(ancestors_.begin(), ancestors_.end(), identity) != ancestors_.end()) {
      closedir(dir);
      return false;
    }
    contents.filesByType.resize(suffixes_.size());
    while (const dirent* entry = readdir(dir)) classify(dirfd(dir), *entry, contents);
    closedir(dir);
    return true;
  }

  void classify(int folderFd, const dirent& entry, FolderContents& contents) const {
    const std::string_view name(entry.d_name);
    if (name.empty() || isDotOrDotDot(name)) return;
    const int type = typeIndexOf(name, suffixes_);
    const bool wantFolders = options_.recurse || options_.includeFolders;
    if (type < 0 && !wantFolders) return;
    if (type < 0 && entry.d_type == DT_REG) return;
    const Kind kind = kindOf(folderFd, entry);
    if (kind == Kind::File && type >= 0)
      contents.filesByType[size_t(type)].push_back({std::string(name), decodeFileName(name)});
    else if (kind == Kind::Folder && wantFolders)
      contents.folders.push_back({std::string(name), decodeFileName(name)});
  }

  void appendFiles(std::vector<Entry>& files, const QString& folderText) {
    std::sort(files.begin(), files.end(), nameOrder);
    for (const Entry& file : files) result_.append(options_.fullPaths ? folderText + file.text : file.text);
  }

  void visitFolder(const std::string& folder, const QString& folderText, const Entry& sub) {
    const QString subText = folderText + sub.text + u'/';
    if (options_.includeFolders) result_.append(subText);
    if (options_.recurse) walk(folder + sub.name + '/', subText);
  }

  std::vector<std::string> suffixes_;
  QStringList& result_;
  EnumerateOptions options_;
  const CancelFlag* cancel_;
  FoundCount* found_;
  std::vector<std::pair<dev_t, ino_t>> ancestors_;
};

// The part before the first zero unit, ending in '/'; empty when nothing is left.
QString normalisedFolder(const QString& folder) {
  const qsizetype zero = folder.indexOf(QChar(u'\0'));
  QString cut = zero < 0 ? folder : folder.left(zero);
  if (cut.isEmpty()) return cut;
  if (!cut.endsWith(u'/')) cut.append(u'/');
  return cut;
}

}  // namespace

void enumeratePictures(const QString& folder, const QString& types, QStringList& result,
                       EnumerateOptions options, const CancelFlag* cancel, FoundCount* found) {
  if (!options.recurse) result.clear();
  // An empty path names no folder here (it is not silently taken as the current or root folder).
  const QString start = normalisedFolder(folder);
  if (start.isEmpty()) return;
  const QByteArray bytes = encodeFileName(start);
  Walker(types, result, options, cancel, found)
      .walk(std::string(bytes.constData(), size_t(bytes.size())), start);
}

QStringList listPictures(const QStringList& paths, const CancelFlag* cancel, FoundCount* found,
                         const QString& types) {
  QStringList combined;
  for (const QString& path : paths) {
    QStringList pictures;
    enumeratePictures(path, types, pictures, {}, cancel, found);
    combined.append(pictures);
  }
  std::reverse(combined.begin(), combined.end());
  return combined;
}

}  // namespace pimrose
