#include "thumbnails/thumbnail_cache.h"

#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "codecs/file_reading.h"
#include "codecs/png_decode.h"
#include "codecs/png_encode.h"
#include "pimrose_version.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

constexpr std::array<std::pair<int, const char*>, 4> kFolders{
    {{128, "normal"}, {256, "large"}, {512, "x-large"}, {1024, "xx-large"}}};

const char* folderName(int side) {
  for (const auto& [folderSide, name] : kFolders)
    if (folderSide == side) return name;
  return nullptr;
}

// Bytes a path may carry unescaped in a file URI: letters, digits and "-._~!$&'()*+,=:@/".
bool keptInUri(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return c != 0 && std::string_view("-._~!$&'()*+,=:@/").find(char(c)) != std::string_view::npos;
}

QByteArray md5Name(const QByteArray& uri) {
  return QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}

std::optional<FileStamp> statBytes(const QByteArray& bytes) {
  struct stat st {};
  if (::stat(bytes.constData(), &st) != 0) return std::nullopt;
  return FileStamp{qint64(st.st_mtime), qint64(st.st_size)};
}

// Makes each missing folder from `base` down to `base/relative` private to the user. `base` itself
// must exist: a user without a cache folder gets none made for them.
bool makePrivateFolders(const QString& base, const QString& relative) {
  struct stat st {};
  if (::stat(encodeFileName(base).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  QString path = base;
  for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
    path += u'/' + part;
    const QByteArray bytes = encodeFileName(path);
    if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// Writes next to the final name, then renames: a reader sees the old entry or the whole new one.
// mkstemp makes the file 0600.
bool writeAtomically(const QString& target, const QByteArray& data) {
  QByteArray temporary = encodeFileName(target) + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  qsizetype written = 0;
  while (written < data.size()) {
    const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
    if (n <= 0) break;
    written += n;
  }
  const bool ok = ::close(fd) == 0 && written == data.size() &&
                  ::rename(temporary.constData(), encodeFileName(target).constData()) == 0;
  if (!ok) ::unlink(temporary.constData());
  return ok;
}

// Entries are written to be read back fast (see encodeQuickPng): the cache is read far more often
// than written, by us and by every other program that shows the same pictures.
QByteArray encodePng(const QImage& image, const QByteArray& uri, const FileStamp& stamp) {
  return encodeQuickPng(
      image, {{QStringLiteral("Thumb::URI"), QString::fromLatin1(uri)},
              {QStringLiteral("Thumb::MTime"), QString::number(stamp.mtime)},
              {QStringLiteral("Thumb::Size"), QString::number(stamp.size)},
              {QStringLiteral("Software"), QStringLiteral("Pimrose ") + QLatin1String(kPimroseVersion)}});
}

QString textNamed(const PngTexts& texts, QLatin1StringView key) {
  for (const auto& [name, value] : texts)
    if (name == key) return value;
  return {};
}

// The entry's chunks name this picture in this version. Other programs may leave Thumb::Size out.
bool chunksMatch(const PngTexts& texts, const QByteArray& uri, const FileStamp& stamp) {
  bool ok = false;
  const qint64 mtime = textNamed(texts, QLatin1StringView("Thumb::MTime")).toLongLong(&ok);
  if (!ok || mtime != stamp.mtime) return false;
  const QString uriText = textNamed(texts, QLatin1StringView("Thumb::URI"));
  if (!uriText.isEmpty() && uriText.toUtf8() != uri) return false;
  const QString size = textNamed(texts, QLatin1StringView("Thumb::Size"));
  return size.isEmpty() || size.toLongLong() == stamp.size;
}

// No entry of a real thumbnail comes near this (1024 x 1024 RGBA is 4 MiB before compression).
constexpr qint64 kMaxEntryBytes = 32 * 1024 * 1024;

// The entry at `file` when it exists, is a PNG of a size `enough` accepts and names this picture.
template <typename Enough>
QImage validEntry(const QString& file, const QByteArray& uri, const FileStamp& stamp, Enough enough) {
  bool complete = false;
  const QByteArray bytes = readFileStart(file, kMaxEntryBytes, &complete, nullptr);
  if (!complete) return {};
  const std::optional<QSize> size = pngStoredSize(bytes);
  if (!size || !enough(*size)) return {};
  PngTexts texts;
  QImage image = decodePng(bytes, {}, nullptr, &texts);
  if (image.isNull() || !chunksMatch(texts, uri, stamp)) return {};
  return image;
}

}  // namespace

QString ThumbnailCache::defaultRoot() {
  const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
  if (xdg.startsWith(u'/')) return QDir::cleanPath(xdg) + QStringLiteral("/thumbnails");
  const QString home = qEnvironmentVariable("HOME");
  if (home.startsWith(u'/')) return QDir::cleanPath(home) + QStringLiteral("/.cache/thumbnails");
  return {};
}

ThumbnailCache::ThumbnailCache(const QString& root) : root_(root.isEmpty() ? root : QDir::cleanPath(root)) {}

std::optional<FileStamp> ThumbnailCache::stampOf(const QString& path) {
  return statBytes(encodeFileName(path));
}

QByteArray ThumbnailCache::uriOf(const QString& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  QByteArray uri = "file://";
  for (const char byte : encodeFileName(QDir::cleanPath(path))) {
    const auto c = static_cast<unsigned char>(byte);
    if (keptInUri(c)) {
      uri += char(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

int ThumbnailCache::folderSideFor(QSize need) {
  const int longest = std::max(need.width(), need.height());
  for (const auto& folder : kFolders)
    if (folder.first >= longest) return folder.first;
  return 0;
}

bool ThumbnailCache::covers(const QString& path) const {
  if (root_.isEmpty() || !path.startsWith(u'/')) return false;
  const QString clean = QDir::cleanPath(path);
  return !(clean == root_ || clean.startsWith(root_ + u'/'));
}

QString ThumbnailCache::entryPath(const QString& path, int side) const {
  const char* folder = folderName(side);
  if (!folder) return {};
  return root_ + u'/' + QLatin1String(folder) + u'/' + QString::fromLatin1(md5Name(uriOf(path)));
}

QString ThumbnailCache::failurePath(const QString& path) const {
  return root_ + QStringLiteral("/fail/pimrose-") + QLatin1String(kPimroseVersion) + u'/' +
         QString::fromLatin1(md5Name(uriOf(path)));
}

QImage ThumbnailCache::lookup(const QString& path, const FileStamp& stamp, QSize need,
                              QSize sourceSize) const {
  if (!covers(path)) return {};
  const QByteArray uri = uriOf(path);
  // Smaller folders may still hold the whole of a small picture, so every folder is asked, the
  // smallest (cheapest to decode) first.
  const auto enough = [&](QSize size) {
    return (size.width() >= need.width() && size.height() >= need.height()) || size == sourceSize;
  };
  for (const auto& folder : kFolders) {
    QImage image = validEntry(entryPath(path, folder.first), uri, stamp, enough);
    if (!image.isNull()) return image;
  }
  return {};
}

bool ThumbnailCache::store(const QString& path, const FileStamp& stamp, int side,
                           const QImage& thumbnail) const {
  const char* folder = folderName(side);
  if (!folder || !covers(path) || thumbnail.isNull() || thumbnail.width() > side || thumbnail.height() > side)
    return false;
  if (!makePrivateFolders(QFileInfo(root_).path(),
                          QFileInfo(root_).fileName() + u'/' + QLatin1String(folder)))
    return false;
  const QByteArray png = encodePng(thumbnail, uriOf(path), stamp);
  return !png.isEmpty() && writeAtomically(entryPath(path, side), png);
}

bool ThumbnailCache::hasFailure(const QString& path, const FileStamp& stamp) const {
  if (!covers(path)) return false;
  return !validEntry(failurePath(path), uriOf(path), stamp, [](QSize) { return true; }).isNull();
}

bool ThumbnailCache::storeFailure(const QString& path, const FileStamp& stamp) const {
  if (!covers(path)) return false;
  const QString relative =
      QFileInfo(root_).fileName() + QStringLiteral("/fail/pimrose-") + QLatin1String(kPimroseVersion);
  if (!makePrivateFolders(QFileInfo(root_).path(), relative)) return false;
  QImage mark(1, 1, QImage::Format_ARGB32);
  mark.fill(Qt::transparent);
  const QByteArray png = encodePng(mark, uriOf(path), stamp);
  return !png.isEmpty() && writeAtomically(failurePath(path), png);
}

}  // namespace pimrose
