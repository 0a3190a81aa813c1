#include "thumbnails/cache_files.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>

#include "codecs/png_encode.h"
#include "pimrose_version.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

QString textNamed(const PngTexts& texts, QLatin1StringView key) {
  for (const auto& [name, value] : texts)
    if (name == key) return value;
  return {};
}

// The whole seconds of a Thumb::MTime: "1714557600", or "1714557600.500000" as some writers put it.
std::optional<qint64> wholeSeconds(const QString& text) {
  const qsizetype dot = text.indexOf(u'.');
  const QStringView fraction = dot < 0 ? QStringView() : QStringView(text).sliced(dot + 1);
  if (!std::all_of(fraction.begin(), fraction.end(), [](QChar c) { return c.isDigit(); }))
    return std::nullopt;
  bool ok = false;
  const qint64 seconds = (dot < 0 ? QStringView(text) : QStringView(text).first(dot)).toLongLong(&ok);
  return ok ? std::optional(seconds) : std::nullopt;
}

}  // namespace

QString userCacheHome() {
  const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
  if (xdg.startsWith(u'/')) return QDir::cleanPath(xdg);
  const QString home = qEnvironmentVariable("HOME");
  if (home.startsWith(u'/')) return QDir::cleanPath(home) + QStringLiteral("/.cache");
  return {};
}

QByteArray entryFileName(const QByteArray& uri) {
  return QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}

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

// Entries are written to be read back often, by us and by every other program that shows the same
// pictures (see encodeQuickPng).
QByteArray encodeEntry(const QImage& image, const QByteArray& uri, const FileStamp& stamp, QSize picture) {
  PngTexts texts{{QStringLiteral("Thumb::URI"), QString::fromLatin1(uri)},
                 {QStringLiteral("Thumb::MTime"), QString::number(stamp.mtime)},
                 {QStringLiteral("Thumb::Size"), QString::number(stamp.size)}};
  if (!picture.isEmpty()) {
    texts.append({QStringLiteral("Thumb::Image::Width"), QString::number(picture.width())});
    texts.append({QStringLiteral("Thumb::Image::Height"), QString::number(picture.height())});
  }
  texts.append({QStringLiteral("Software"), QStringLiteral("Pimrose ") + QLatin1String(kPimroseVersion)});
  return encodeQuickPng(image, texts);
}

bool hasEntryStamp(const PngTexts& texts) {
  return !textNamed(texts, QLatin1StringView("Thumb::MTime")).isEmpty();
}

bool entryTextsMatch(const PngTexts& texts, const QByteArray& uri, const FileStamp& stamp) {
  if (wholeSeconds(textNamed(texts, QLatin1StringView("Thumb::MTime"))) != stamp.mtime) return false;
  const QString uriText = textNamed(texts, QLatin1StringView("Thumb::URI"));
  if (!uriText.isEmpty() && uriText.toUtf8() != uri) return false;
  const QString size = textNamed(texts, QLatin1StringView("Thumb::Size"));
  return size.isEmpty() || size.toLongLong() == stamp.size;
}

QSize recordedPictureSize(const PngTexts& texts, QSize entry) {
  const QSize recorded(textNamed(texts, QLatin1StringView("Thumb::Image::Width")).toInt(),
                       textNamed(texts, QLatin1StringView("Thumb::Image::Height")).toInt());
  if (recorded.isEmpty() || entry.isEmpty()) return {};
  const auto misfit = [entry](QSize picture) {
    return std::abs(double(picture.width()) / picture.height() - double(entry.width()) / entry.height());
  };
  return misfit(recorded.transposed()) < misfit(recorded) ? recorded.transposed() : recorded;
}

}  // namespace pimrose
