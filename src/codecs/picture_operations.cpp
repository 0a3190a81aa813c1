#include "codecs/picture_operations.h"

#include <mutex>

#include <QFileInfo>
#include <QSaveFile>

#include "codecs/codecs_log.h"
#include "codecs/decode_limits.h"
#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_encode.h"
#include "codecs/picture_header.h"
#include "codecs/picture_size.h"

namespace pimrose {
namespace {

struct TargetFormat {
  EncodedFormat format;
  QByteArrayView extension;
};

TargetFormat targetFormat(int code) {
  switch (code) {
    case kFormatBmp:
      return {EncodedFormat::Bmp, ".bmp"};
    case kFormatJpeg:
      return {EncodedFormat::Jpeg, ".jpg"};
    case kFormatGif:
      return {EncodedFormat::Gif, ".gif"};
    case kFormatTiff:
      return {EncodedFormat::Tiff, ".tiff"};
    default:
      return {EncodedFormat::Png, ".png"};
  }
}

std::mutex& errorMutex() {
  static std::mutex mutex;
  return mutex;
}
QString& lastError() {
  static QString text;
  return text;
}
void setLastError(const QString& text) {
  const std::lock_guard lock(errorMutex());
  lastError() = text;
}

QString fromWidePath(const QByteArray& wide) {
  QString path;
  path.reserve(wide.size() / 2);
  for (qsizetype i = 0; i + 1 < wide.size(); i += 2) {
    const char16_t unit = char16_t(quint8(wide[i]) | quint8(wide[i + 1]) << 8);
    if (unit == 0) break;
    path.append(QChar(unit));
  }
  return path;
}

// The bytes up to the first zero, read as a path when they name an existing file.
QString existingPathIn(const QByteArray& source) {
  constexpr qsizetype kLongestPath = 4096;
  const qsizetype end = source.indexOf('\0');
  const QByteArray text = source.left(end < 0 ? source.size() : end);
  if (text.isEmpty() || text.size() > kLongestPath || !IsExistingFile(text)) return {};
  return QString::fromUtf8(text);
}

QSize measure(const QByteArray& source) {
  const QString path = existingPathIn(source);
  if (!path.isEmpty()) return pictureSize(path);
  const std::optional<PictureHeader> header = readPictureHeader(source);
  return header ? header->upright() : QSize(0, 0);
}

// Blank means only ASCII spaces and ideographic spaces (U+3000).
bool isBlankPath(QByteArrayView path) {
  QByteArrayView rest = path;
  while (!rest.isEmpty()) {
    if (rest.startsWith(" "))
      rest = rest.sliced(1);
    else if (rest.startsWith("\xE3\x80\x80"))
      rest = rest.sliced(3);
    else
      return false;
  }
  return true;
}

bool endsWithIgnoringAsciiCase(QByteArrayView text, QByteArrayView ending) {
  return text.size() >= ending.size() && text.last(ending.size()).compare(ending, Qt::CaseInsensitive) == 0;
}

// Written through a temporary file and renamed: a failed write never leaves half a picture in
// place of the file that was there.
void writeOutput(const QByteArray& outputPath, QByteArrayView extension, const QByteArray& bytes) {
  QByteArray path = outputPath;
  if (!endsWithIgnoringAsciiCase(path, extension)) path.append(extension);
  QSaveFile file(QString::fromUtf8(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    qCWarning(lcCodecs) << "could not write converted picture to" << path << file.errorString();
}

}  // namespace

QByteArray toWidePath(const QString& path) {
  QByteArray wide;
  wide.reserve((path.size() + 1) * 2);
  for (const QChar c : path) wide.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
  return wide.append(2, '\0');
}

QByteArray ReadWholeFile(const QByteArray& widePath) {
  return ReadWholeFile(fromWidePath(widePath));
}

QByteArray ReadWholeFile(const QString& path) {
  return readFileBytes(path);
}

bool IsExistingFile(const QByteArray& path) {
  return IsExistingFile(QString::fromUtf8(path));
}

// Only regular files: a FIFO or device would block or never end when read.
bool IsExistingFile(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isFile();
}

int ImageWidth(const QByteArray& source) {
  return measure(source).width();
}

int ImageHeight(const QByteArray& source) {
  return measure(source).height();
}

QByteArray ConvertImage(const QByteArray& data, int formatCode, const QByteArray& outputPath, bool flatten) {
  if (data.size() < 3) return {};
  const TargetFormat target = targetFormat(formatCode);
  QString error;
  QImage picture = decodeUpright(data, QSize(), PreviewUse::Refused, &error);
  if (picture.isNull()) {
    setLastError(QStringLiteral("从流里创建位图失败"));
    qCDebug(lcCodecs) << "convert: cannot decode:" << error;
    return {};
  }
  if (flatten) picture = flattenedOnWhite(picture);
  QByteArray encoded = encodePicture(picture, target.format);
  if (encoded.isEmpty()) qCWarning(lcCodecs) << "convert: encoder failed for code" << formatCode;
  if (!encoded.isEmpty() && !isBlankPath(outputPath)) writeOutput(outputPath, target.extension, encoded);
  return encoded;
}

QByteArray MakeThumbnail(const QByteArray& data, int width, int height) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  if (!header) return {};
  const QSize own = header->upright();
  const QSize size =
      boundedThumbnailSize(QSize(width < 1 ? own.width() : width, height < 1 ? own.height() : height));
  QString error;
  const QImage thumbnail = thumbnailImage(*header, data, size, PreviewUse::Allowed, &error);
  if (thumbnail.isNull()) qCDebug(lcCodecs) << "thumbnail failed:" << error;
  return encodePicture(thumbnail, EncodedFormat::Png);
}

QString LastImageError() {
  const std::lock_guard lock(errorMutex());
  return lastError();
}

}  // namespace pimrose
