#include "thumbnails/thumbnail_cache.h"

#include <algorithm>
#include <array>

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>

#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/png_decode.h"
#include "codecs/png_fast_path.h"
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

std::optional<FileStamp> statBytes(const QByteArray& bytes) {
  struct stat st {};
  if (::stat(bytes.constData(), &st) != 0) return std::nullopt;
  return FileStamp{qint64(st.st_mtime), qint64(st.st_size)};
}

// No entry of a real thumbnail comes near this (1024 x 1024 RGBA is 4 MiB before compression).
constexpr qint64 kMaxEntryBytes = 32 * 1024 * 1024;
// A failure is marked by a one-pixel entry.
constexpr int kFailureMarkSide = 1;

QImage decodeWhole(const QByteArray& png, PngTexts* texts) {
  bool whole = false;
  const QImage image = decodePng(png, {}, nullptr, texts, &whole);
  return whole ? image : QImage();
}

// The entry at `file` when it exists, is a PNG that fits `side` and names this picture; its pixels
// are decoded only when its chunks follow them.
std::optional<CacheEntry> entryAt(const QString& file, int side, const QByteArray& uri,
                                  const FileStamp& stamp) {
  bool complete = false;
  const QByteArray png = readFileStart(file, kMaxEntryBytes, &complete, nullptr);
  const std::optional<PngHead> head = complete ? readPngHead(png) : std::nullopt;
  if (!head || head->size.width() > side || head->size.height() > side) return std::nullopt;
  CacheEntry entry{png, side, head->size, {}};
  PngTexts texts = head->texts;
  if (!hasEntryStamp(texts)) {
    entry.decoded = decodeWhole(png, &texts);
    if (entry.decoded.isNull()) return std::nullopt;
  }
  if (!entryTextsMatch(texts, uri, stamp)) return std::nullopt;
  entry.pictureSize = recordedPictureSize(texts, entry.size);
  return entry;
}

}  // namespace

QString ThumbnailCache::defaultRoot() {
  const QString home = userCacheHome();
  return home.isEmpty() ? home : home + QStringLiteral("/thumbnails");
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
  return root_ + u'/' + QLatin1String(folder) + u'/' + QString::fromLatin1(entryFileName(uriOf(path)));
}

QString ThumbnailCache::failurePath(const QString& path) const {
  return root_ + QStringLiteral("/fail/pimrose-") + QLatin1String(kPimroseVersion) + u'/' +
         QString::fromLatin1(entryFileName(uriOf(path)));
}

std::vector<int> ThumbnailCache::lookupOrder(int iconWidth) {
  const int first = folderSideFor(QSize(iconWidth, iconWidth));
  std::vector<int> order;
  for (const auto& folder : kFolders)
    if (first != 0 && folder.first >= first) order.push_back(folder.first);
  for (auto folder = kFolders.rbegin(); folder != kFolders.rend(); ++folder)
    if (first == 0 || folder->first < first) order.push_back(folder->first);
  return order;
}

QSize ThumbnailCache::entrySizeFor(QSize picture, int side) {
  if (picture.width() <= side && picture.height() <= side) return picture;
  return picture.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

bool CacheEntry::serves(QSize need, QSize picture) const {
  return (size.width() >= need.width() && size.height() >= need.height()) || size == picture;
}

QImage CacheEntry::pixels() const {
  return decoded.isNull() ? decodeWhole(png, nullptr) : decoded;
}

// The fast path answers only for a PNG it reads whole, as decodeWhole insists.
QImage CacheEntry::pixelsAt(QSize icon) const {
  if (decoded.isNull() && icon.width() <= size.width() && icon.height() <= size.height())
    if (std::optional<QImage> reduced = decodePngFastPathTo(png, icon)) return *reduced;
  const QImage whole = pixels();
  return whole.isNull() ? whole : scaledThumbnail(whole, icon);
}

std::optional<CacheEntry> ThumbnailCache::find(const QString& path, const FileStamp& stamp, int side) const {
  if (!covers(path) || !folderName(side)) return std::nullopt;
  return entryAt(entryPath(path, side), side, uriOf(path), stamp);
}

bool ThumbnailCache::store(const QString& path, const FileStamp& stamp, int side, const QImage& thumbnail,
                           QSize picture) const {
  const char* folder = folderName(side);
  if (!folder || !covers(path) || thumbnail.isNull() || thumbnail.width() > side || thumbnail.height() > side)
    return false;
  if (!makePrivateFolders(QFileInfo(root_).path(),
                          QFileInfo(root_).fileName() + u'/' + QLatin1String(folder)))
    return false;
  const QByteArray png = encodeEntry(thumbnail, uriOf(path), stamp, picture);
  return !png.isEmpty() && writeAtomically(entryPath(path, side), png);
}

bool ThumbnailCache::hasFailure(const QString& path, const FileStamp& stamp) const {
  if (!covers(path)) return false;
  return entryAt(failurePath(path), kFailureMarkSide, uriOf(path), stamp).has_value();
}

bool ThumbnailCache::storeFailure(const QString& path, const FileStamp& stamp) const {
  if (!covers(path)) return false;
  const QString relative =
      QFileInfo(root_).fileName() + QStringLiteral("/fail/pimrose-") + QLatin1String(kPimroseVersion);
  if (!makePrivateFolders(QFileInfo(root_).path(), relative)) return false;
  QImage mark(kFailureMarkSide, kFailureMarkSide, QImage::Format_ARGB32);
  mark.fill(Qt::transparent);
  const QByteArray png = encodeEntry(mark, uriOf(path), stamp, {});
  return !png.isEmpty() && writeAtomically(failurePath(path), png);
}

}  // namespace pimrose
