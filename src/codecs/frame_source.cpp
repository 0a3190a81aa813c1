#include "codecs/frame_source.h"

#include "codecs/decode_limits.h"
#include "codecs/file_reading.h"
#include "codecs/gif_decode.h"
#include "codecs/gif_frames.h"
#include "codecs/picture_format.h"
#include "codecs/picture_header.h"
#include "codecs/webp_frames.h"

namespace pimrose {
namespace {

quint32 littleEndian24(QByteArrayView data, qsizetype at) {
  return quint8(data[at]) | quint32(quint8(data[at + 1])) << 8 | quint32(quint8(data[at + 2])) << 16;
}

bool playsAtItsSize(QSize canvas) {
  return isBelievableSize(canvas) && qint64(canvas.width()) * canvas.height() <= kMaxAnimationPixels;
}

// An extended WebP ("VP8X" first) flags animation in its header, beside its canvas size.
bool isAnimatedWebp(QByteArrayView data) {
  if (data.size() < 30 || data.first(4) != "RIFF" || data.sliced(8, 8) != "WEBPVP8X") return false;
  const QSize canvas(int(littleEndian24(data, 24)) + 1, int(littleEndian24(data, 27)) + 1);
  return (quint8(data[20]) & 0x02) && playsAtItsSize(canvas);
}

}  // namespace

bool isMovingPicture(const PictureHeader& header, QByteArrayView data) {
  switch (header.format) {
    case PictureFormat::Gif:
      return playsAtItsSize(header.storedSize) && gifFrameCount(data, 2) == 2;
    case PictureFormat::Other:
      return isAnimatedWebp(data);
    default:
      return false;
  }
}

bool isMovingPicture(QByteArrayView data) {
  const std::optional<PictureHeader> header = readPictureHeader(data);
  return header && isMovingPicture(*header, data);
}

std::unique_ptr<FrameSource> openFrameSource(const QString& path, QString* error) {
  std::optional<OpenedFile> opened = OpenedFile::open(path, error);
  if (!opened) return nullptr;
  auto file = std::make_shared<OpenedFile>(std::move(*opened));
  const QByteArray start = file->readAt(0, 64);
  if (sniffFormat(start) == PictureFormat::Gif)
    return openGifFrames([file](qint64 offset, qint64 count) { return file->readAt(offset, count); }, error);
  if (isAnimatedWebp(start))
    return openWebpFrames(readFileBytesWithin(sharedReadBudget(), *file, path, error), error);
  if (error) *error = QStringLiteral("not a moving picture");
  return nullptr;
}

}  // namespace pimrose
