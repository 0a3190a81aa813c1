#include "codecs/picture_size.h"

#include "codecs/file_reading.h"
#include "codecs/picture_header.h"

namespace pimrose {
namespace {

// Headers almost always sit in the first 64 KiB; a JPEG with big metadata blocks before its
// frame header is read whole instead.
constexpr qint64 kHeaderProbe = 64 * 1024;

}  // namespace

QSize pictureSize(const QString& path) {
  bool complete = false;
  QByteArray bytes = readFileStart(path, kHeaderProbe, &complete);
  std::optional<PictureHeader> header = readPictureHeader(bytes);
  if (!header && !complete && !bytes.isEmpty()) header = readPictureHeader(bytes = readFileBytes(path));
  return header ? header->upright() : QSize(0, 0);
}

}  // namespace pimrose
