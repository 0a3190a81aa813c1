#include "codecs/gif_decode.h"

#include <array>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "codecs/box_reducer.h"
#include "codecs/decode_limits.h"
#include "codecs/gif_records.h"
#include "codecs/picture_format.h"
#include "codecs/probe_counts.h"

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

// Where the image descriptors start, up to `most` of them, found by skipping blocks without
// decoding any pixel; the walk stops where the data ends or makes no sense.
std::vector<qsizetype> frameOffsets(QByteArrayView data, int most) {
  std::vector<qsizetype> frames;
  if (!startsLikeGif(data) || data.size() < 13) return frames;
  qsizetype at = 13 + colourTableBytes(quint8(data[10]));
  while (at >= 0 && at < data.size() && int(frames.size()) < most) {
    if (data[at] == kImageSeparator && at + 9 < data.size()) {
      frames.push_back(at);
      // The descriptor, its colours, the code size byte, then the pixel data's sub-blocks.
      at = skipSubBlocks(data, at + 10 + colourTableBytes(quint8(data[at + 9])) + 1);
    } else if (data[at] == kExtensionIntroducer && at + 2 < data.size()) {
      at = skipSubBlocks(data, at + 2);
    } else {
      break;
    }
  }
  return frames;
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

// The first frame's descriptor checked: its colours and the canvas it is painted on.
struct FrameLayout {
  const ColorMapObject* map = nullptr;
  QSize canvas;
};

std::optional<FrameLayout> readLayout(GifFileType* gif, QString* error) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return std::nullopt;
  const GifImageDesc& desc = gif->Image;
  FrameLayout layout{desc.ColorMap ? desc.ColorMap : gif->SColorMap, {}};
  const QRect rect(desc.Left, desc.Top, desc.Width, desc.Height);
  layout.canvas = gifCanvas(QSize(gif->SWidth, gif->SHeight), rect);
  if (!layout.map || rect.isEmpty() || !isBelievableSize(layout.canvas) || !fitsDecodeLimit(layout.canvas)) {
    if (error) *error = QStringLiteral("GIF frame without colours or of an unusable size");
    return std::nullopt;
  }
  return layout;
}

QImage paintCanvas(GifFileType* gif, const FrameLayout& layout, const GifControl& frame) {
  const GifImageDesc& desc = gif->Image;
  QImage canvas(layout.canvas, QImage::Format_ARGB32);
  if (canvas.isNull()) return {};
  canvas.fill(Qt::transparent);
  std::vector<GifPixelType> line(size_t(desc.Width));
  for (int row : gifRowOrder(desc.Height, desc.Interlace)) {
    if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return {};
    paintRow(canvas, desc, row, line, *layout.map, frame.transparent);
  }
  return canvas;
}

struct Rgba {
  uchar r = 0, g = 0, b = 0, a = 0;
};
static_assert(sizeof(Rgba) == 4, "the reducer reads rows as packed RGBA bytes");

// Every index as the reducer's bytes; the transparent index and indices past the colour table
// stay clear, as they do on the canvas.
std::array<Rgba, 256> rgbaPalette(const ColorMapObject& map, int transparent) {
  std::array<Rgba, 256> palette{};
  for (int i = 0; i < std::min(map.ColorCount, 256); ++i)
    if (i != transparent)
      palette[size_t(i)] = {map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue, 255};
  return palette;
}

// The frame's indices row by row in picture order. Interlaced rows arrive in pass order, so they
// are all kept (one byte a pixel, a quarter of a canvas); others are read one at a time.
class FrameRows {
 public:
  explicit FrameRows(GifFileType* gif) : gif_(gif), desc_(gif->Image) {
    indices_.resize(size_t(desc_.Width) * size_t(desc_.Interlace ? desc_.Height : 1));
  }
  bool readAhead() {
    if (!desc_.Interlace) return true;
    for (int row : gifRowOrder(desc_.Height, true))
      if (DGifGetLine(gif_, at(row), desc_.Width) == GIF_ERROR) return false;
    return true;
  }
  // Row `row` of the frame, rows asked top to bottom; null when the data is damaged.
  const GifPixelType* row(int row) {
    if (desc_.Interlace) return at(row);
    return DGifGetLine(gif_, indices_.data(), desc_.Width) == GIF_ERROR ? nullptr : indices_.data();
  }

 private:
  GifPixelType* at(int row) { return indices_.data() + size_t(row) * size_t(desc_.Width); }

  GifFileType* gif_;
  const GifImageDesc& desc_;
  std::vector<GifPixelType> indices_;
};

// The canvas streamed row by row into a reducer: no canvas is allocated or cleared, and the
// rows outside the frame are fed as clear rows.
QImage reduceCanvas(GifFileType* gif, const FrameLayout& layout, const GifControl& frame, int factor,
                    QString* error) {
  const GifImageDesc& desc = gif->Image;
  BoxReducer reducer(layout.canvas.width(), layout.canvas.height(), factor);
  FrameRows rows(gif);
  if (reducer.result().isNull()) {
    if (error) *error = QStringLiteral("out of memory");
    return {};
  }
  if (!rows.readAhead()) return {};
  const std::array<Rgba, 256> palette = rgbaPalette(*layout.map, frame.transparent);
  std::vector<Rgba> line(size_t(layout.canvas.width()));  // the margins beside the frame stay clear
  for (int y = 0; y < layout.canvas.height(); ++y) {
    const int frameRow = y - desc.Top;
    if (frameRow < 0 || frameRow >= desc.Height) {
      reducer.addClearRow();
      continue;
    }
    const GifPixelType* indices = rows.row(frameRow);
    if (!indices) return {};
    Rgba* out = line.data() + desc.Left;
    for (int x = 0; x < desc.Width; ++x) out[x] = palette[indices[x]];
    reducer.addRow(reinterpret_cast<const uchar*>(line.data()));
  }
  return reducer.result();
}

QImage readFrame(GifFileType* gif, const GifControl& frame, QSize atLeast, QString* error) {
  const std::optional<FrameLayout> layout = readLayout(gif, error);
  if (!layout) return {};
  const int factor = BoxReducer::factorCovering(layout->canvas, atLeast);
  return factor > 1 ? reduceCanvas(gif, *layout, frame, factor, error) : paintCanvas(gif, *layout, frame);
}

QImage readFirstFrame(GifFileType* gif, QSize atLeast, QString* error) {
  GifControl frame;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif, &record) != GIF_ERROR) {
    if (record == IMAGE_DESC_RECORD_TYPE) return readFrame(gif, frame, atLeast, error);
    if (record == TERMINATE_RECORD_TYPE) break;
    if (record == EXTENSION_RECORD_TYPE && !readGifExtension(gif, frame)) break;
  }
  return {};
}

}  // namespace

std::optional<QSize> gifCanvasSize(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  const std::vector<qsizetype> frames = frameOffsets(data, 1);
  if (frames.empty()) return std::nullopt;
  const qsizetype at = frames.front();
  const QRect frame(int(littleEndian16(data, at + 1)), int(littleEndian16(data, at + 3)),
                    int(littleEndian16(data, at + 5)), int(littleEndian16(data, at + 7)));
  if (frame.isEmpty()) return std::nullopt;
  return gifCanvas(QSize(int(littleEndian16(data, 6)), int(littleEndian16(data, 8))), frame);
}

int gifFrameCount(QByteArrayView data, int most) {
  return int(frameOffsets(data, most).size());
}

QImage decodeGif(QByteArrayView data, QSize atLeast, QString* error) {
  MemorySource source{data};
  int status = 0;
  GifFileType* gif = DGifOpen(&source, readFromMemory, &status);
  if (!gif) {
    if (error) *error = QString::fromUtf8(GifErrorString(status));
    return {};
  }
  QImage image = readFirstFrame(gif, atLeast, error);
  if (image.isNull() && error && error->isEmpty()) *error = QString::fromUtf8(GifErrorString(gif->Error));
  DGifCloseFile(gif, &status);
  return image;
}

}  // namespace pimrose
