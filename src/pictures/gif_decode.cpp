#include "pictures/gif_decode.h"

#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "pictures/decode_limits.h"
#include "pictures/picture_format.h"

namespace pimrose {
namespace {

constexpr char kExtensionIntroducer = 0x21;
constexpr char kImageSeparator = 0x2C;

quint32 littleEndian16(QByteArrayView data, qsizetype at) {
  return quint8(data[at]) | quint32(quint8(data[at + 1])) << 8;
}

qsizetype colourTableBytes(quint8 flags) {
  return (flags & 0x80) ? 3 * (qsizetype(2) << (flags & 7)) : 0;
}

// Skips data sub-blocks (length byte, bytes) up to the zero terminator; -1 when the data ends.
qsizetype skipSubBlocks(QByteArrayView data, qsizetype at) {
  while (at < data.size()) {
    const quint8 length = quint8(data[at]);
    if (length == 0) return at + 1;
    at += 1 + length;
  }
  return -1;
}

struct MemorySource {
  QByteArrayView data;
  qsizetype at = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  const int count = int(std::min<qsizetype>(length, source->data.size() - source->at));
  std::memcpy(out, source->data.data() + source->at, size_t(count));
  source->at += count;
  return count;
}

struct FrameInfo {
  int transparent = -1;
};

bool readExtension(GifFileType* gif, FrameInfo& frame) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
    frame.transparent = (block[1] & 1) ? block[4] : -1;
  while (block)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

void paintRow(QImage& canvas, const GifImageDesc& desc, int row, const std::vector<GifPixelType>& line,
              const ColorMapObject& map, int transparent) {
  auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(desc.Top + row)) + desc.Left;
  for (int x = 0; x < desc.Width; ++x) {
    const int index = line[size_t(x)];
    if (index == transparent || index >= map.ColorCount) continue;  // stays transparent
    const GifColorType c = map.Colors[index];
    out[x] = qRgb(c.Red, c.Green, c.Blue);
  }
}

// Rows of an interlaced frame arrive in four passes: every 8th from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

QImage readFrame(GifFileType* gif, const FrameInfo& frame, QString* error) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return {};
  const GifImageDesc& desc = gif->Image;
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  const QRect rect(desc.Left, desc.Top, desc.Width, desc.Height);
  const QSize canvasSize = gifCanvas(QSize(gif->SWidth, gif->SHeight), rect);
  if (!map || rect.isEmpty() || !isBelievableSize(canvasSize) || !fitsDecodeLimit(canvasSize)) {
    if (error) *error = QStringLiteral("GIF frame without colours or of an unusable size");
    return {};
  }
  QImage canvas(canvasSize, QImage::Format_ARGB32);
  if (canvas.isNull()) return {};
  canvas.fill(Qt::transparent);
  std::vector<GifPixelType> line(size_t(desc.Width));
  for (int row : rowOrder(desc.Height, desc.Interlace)) {
    if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return {};
    paintRow(canvas, desc, row, line, *map, frame.transparent);
  }
  return canvas;
}

QImage readFirstFrame(GifFileType* gif, QString* error) {
  FrameInfo frame;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif, &record) != GIF_ERROR) {
    if (record == IMAGE_DESC_RECORD_TYPE) return readFrame(gif, frame, error);
    if (record == TERMINATE_RECORD_TYPE) break;
    if (record == EXTENSION_RECORD_TYPE && !readExtension(gif, frame)) break;
  }
  return {};
}

}  // namespace

std::optional<QSize> gifCanvasSize(QByteArrayView data) {
  if (sniffFormat(data) != PictureFormat::Gif || data.size() < 13) return std::nullopt;
  const QSize screen(int(littleEndian16(data, 6)), int(littleEndian16(data, 8)));
  qsizetype at = 13 + colourTableBytes(quint8(data[10]));
  while (at >= 0 && at < data.size()) {
    if (data[at] == kImageSeparator && at + 9 < data.size()) {
      const QRect frame(int(littleEndian16(data, at + 1)), int(littleEndian16(data, at + 3)),
                        int(littleEndian16(data, at + 5)), int(littleEndian16(data, at + 7)));
      if (frame.isEmpty()) return std::nullopt;
      return gifCanvas(screen, frame);
    }
    if (data[at] != kExtensionIntroducer || at + 2 >= data.size()) return std::nullopt;
    at = skipSubBlocks(data, at + 2);
  }
  return std::nullopt;
}

QImage decodeGif(QByteArrayView data, QString* error) {
  MemorySource source{data};
  int status = 0;
  GifFileType* gif = DGifOpen(&source, readFromMemory, &status);
  if (!gif) {
    if (error) *error = QString::fromUtf8(GifErrorString(status));
    return {};
  }
  QImage image = readFirstFrame(gif, error);
  if (image.isNull() && error && error->isEmpty()) *error = QString::fromUtf8(GifErrorString(gif->Error));
  DGifCloseFile(gif, &status);
  return image;
}

}  // namespace pimrose
