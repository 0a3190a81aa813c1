#include "codecs/png_fast_path.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <libdeflate.h>

#include "codecs/area_reducer.h"
#include "codecs/box_reducer.h"
#include "codecs/decode_limits.h"
#include "codecs/picture_format.h"

namespace pimrose {
namespace {

struct Layout {
  QSize size;
  int channels = 3;       // RGB or RGBA, 8 bits each
  QByteArrayView stream;  // the IDAT chunks' contents: the one chunk itself, or `joined`
  QByteArray joined;      // the contents of several IDAT chunks, in order
  qsizetype rowBytes() const { return qsizetype(size.width()) * channels; }
};

// The header's promise for the only kind taken here: 8-bit RGB (2) or RGBA (6), deflate, the one
// filter method, not interlaced.
std::optional<Layout> layoutOf(QByteArrayView ihdr) {
  if (ihdr.size() != 13 || ihdr[8] != 8 || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0)
    return std::nullopt;
  const quint8 colour = quint8(ihdr[9]);
  if (colour != 2 && colour != 6) return std::nullopt;
  const QSize size(int(readBigEndian32(ihdr.data())), int(readBigEndian32(ihdr.data() + 4)));
  if (!isBelievableSize(size) || readBigEndian32(ihdr.data()) > quint32(kMaxPictureSide) ||
      readBigEndian32(ihdr.data() + 4) > quint32(kMaxPictureSide))
    return std::nullopt;
  return Layout{size, colour == 6 ? 4 : 3, {}, {}};
}

// Most writers cut the pixel stream into several chunks; ours write one, which is read where it lies.
void addPixelChunk(Layout& layout, QByteArrayView body) {
  if (layout.stream.isEmpty() && layout.joined.isEmpty()) {
    layout.stream = body;
    return;
  }
  if (layout.joined.isEmpty()) layout.joined = layout.stream.toByteArray();
  layout.joined.append(body);
  layout.stream = layout.joined;
}

// Walks the chunks; nullopt for anything the fast path leaves to libpng (a colour key, a damaged
// chunk list, no header first, no pixels).
std::optional<Layout> readChunks(QByteArrayView data) {
  std::optional<Layout> layout;
  for (qsizetype at = 8; at + 12 <= data.size();) {
    const qsizetype length = readBigEndian32(data.data() + at);
    if (length > data.size() - at - 12) return std::nullopt;
    const QByteArrayView kind = data.sliced(at + 4, 4);
    const QByteArrayView body = data.sliced(at + 8, length);
    if (!layout && kind != "IHDR") return std::nullopt;
    if (kind == "IHDR") {
      if (layout || !(layout = layoutOf(body))) return std::nullopt;
    } else if (kind == "tRNS") {
      return std::nullopt;
    } else if (kind == "IDAT") {
      addPixelChunk(*layout, body);
    } else if (kind == "IEND") {
      break;
    }
    at += 12 + length;
  }
  if (!layout || layout->stream.isEmpty()) return std::nullopt;
  return layout;
}

libdeflate_decompressor* threadDecompressor() {
  thread_local const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> one(
      libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  return one.get();
}

// The inflated rows, in a buffer each thread keeps between pictures: a fresh one costs a page fault
// for every 4 KiB of it. One that a large picture needed is let go again.
constexpr size_t kKeptRowBytes = 4 * 1024 * 1024;

class RowBuffer {
 public:
  explicit RowBuffer(size_t size) : bytes_(threadBytes()) { bytes_.resize(size); }
  ~RowBuffer() {
    if (bytes_.capacity() > kKeptRowBytes) std::vector<uchar>().swap(bytes_);
  }
  RowBuffer(const RowBuffer&) = delete;
  RowBuffer& operator=(const RowBuffer&) = delete;
  uchar* data() { return bytes_.data(); }
  size_t size() const { return bytes_.size(); }

 private:
  static std::vector<uchar>& threadBytes() {
    thread_local std::vector<uchar> kept;
    return kept;
  }
  std::vector<uchar>& bytes_;
};

// PNG's Paeth predictor: whichever of left, above and upper left is nearest to left + above - upper left.
inline int paeth(int left, int above, int upperLeft) {
  const int toLeft = std::abs(above - upperLeft), toAbove = std::abs(left - upperLeft),
            toUpperLeft = std::abs(left + above - 2 * upperLeft);
  if (toLeft <= toAbove && toLeft <= toUpperLeft) return left;
  return toAbove <= toUpperLeft ? above : upperLeft;
}

// Undoes one row's filter in place; `above` is the previous row, unfiltered (zeros for the first).
bool unfilter(uchar filter, uchar* row, const uchar* above, qsizetype width, int step) {
  switch (filter) {
    case 0:
      return true;
    case 1:
      for (qsizetype i = step; i < width; ++i) row[i] = uchar(row[i] + row[i - step]);
      return true;
    case 2:
      for (qsizetype i = 0; i < width; ++i) row[i] = uchar(row[i] + above[i]);
      return true;
    case 3:
      for (qsizetype i = 0; i < width; ++i)
        row[i] = uchar(row[i] + (((i >= step ? row[i - step] : 0) + above[i]) >> 1));
      return true;
    case 4:
      for (qsizetype i = 0; i < step; ++i) row[i] = uchar(row[i] + above[i]);
      for (qsizetype i = step; i < width; ++i)
        row[i] = uchar(row[i] + paeth(row[i - step], above[i], above[i - step]));
      return true;
    default:
      return false;
  }
}

// One unfiltered row into QImage's words (0xAARRGGBB), or RGBA bytes for the box reducer.
void toWords(const uchar* row, int width, int channels, QRgb* out) {
  for (int x = 0; x < width; ++x, row += channels)
    out[x] = qRgba(row[0], row[1], row[2], channels == 4 ? row[3] : 255);
}
void toRgba(const uchar* row, int width, int channels, uchar* out) {
  for (int x = 0; x < width; ++x, row += channels, out += 4) {
    out[0] = row[0], out[1] = row[1], out[2] = row[2], out[3] = channels == 4 ? row[3] : 255;
  }
}

// The picture at full size (RGB32 or ARGB32), reduced by a whole factor (ARGB32_Premultiplied) or
// reduced to an exact size (RGB32, or ARGB32_Premultiplied with alpha), from the unfiltered rows.
class RowSink {
 public:
  RowSink(const Layout& layout, int factor, QSize exact) : layout_(layout) {
    if (!exact.isEmpty()) {
      area_ = std::make_unique<AreaReducer>(layout.size, exact, layout.channels == 4);
    } else if (factor > 1) {
      reducer_ = std::make_unique<BoxReducer>(layout.size.width(), layout.size.height(), factor);
      rgba_.resize(size_t(layout.size.width()) * 4);
    } else {
      image_ = QImage(layout.size, layout.channels == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
  }
  bool ready() const { return !result().isNull(); }
  void add(int y, const uchar* row) {
    if (area_) return area_->addRow(row, layout_.channels);
    if (!reducer_)
      return toWords(row, layout_.size.width(), layout_.channels,
                     reinterpret_cast<QRgb*>(image_.scanLine(y)));
    toRgba(row, layout_.size.width(), layout_.channels, rgba_.data());
    reducer_->addRow(rgba_.data());
  }
  QImage result() const { return area_ ? area_->result() : reducer_ ? reducer_->result() : image_; }

 private:
  const Layout& layout_;
  QImage image_;
  std::unique_ptr<BoxReducer> reducer_;
  std::unique_ptr<AreaReducer> area_;
  std::vector<uchar> rgba_;
};

// Inflates the pixel stream whole and hands the unfiltered rows to a sink made for the picture's
// layout (a whole factor covering `atLeast`, or exactly `exact`).
std::optional<QImage> decodeRows(QByteArrayView data, QSize atLeast, QSize exact) {
  if (!startsLikePng(data)) return std::nullopt;
  const std::optional<Layout> layout = readChunks(data);
  if (!layout) return std::nullopt;
  const qsizetype width = layout->rowBytes(), rows = layout->size.height();
  if ((width + 1) > kMaxFastPathBytes / rows) return std::nullopt;
  RowBuffer raw(size_t((width + 1) * rows));
  size_t produced = 0;
  libdeflate_decompressor* decompressor = threadDecompressor();
  if (!decompressor ||
      libdeflate_zlib_decompress(decompressor, layout->stream.constData(), size_t(layout->stream.size()),
                                 raw.data(), raw.size(), &produced) != LIBDEFLATE_SUCCESS ||
      produced != raw.size())
    return std::nullopt;
  const int factor = exact.isEmpty() ? BoxReducer::factorCovering(layout->size, atLeast) : 0;
  if (factor == 1 && !fitsDecodeLimit(layout->size)) return std::nullopt;
  RowSink sink(*layout, factor, exact);
  if (!sink.ready()) return std::nullopt;
  const std::vector<uchar> zeros(size_t(width), 0);
  for (qsizetype y = 0; y < rows; ++y) {
    uchar* row = raw.data() + (width + 1) * y;
    const uchar* above = y == 0 ? zeros.data() : row - width;
    if (!unfilter(row[0], row + 1, above, width, layout->channels)) return std::nullopt;
    sink.add(int(y), row + 1);
  }
  return sink.result();
}

}  // namespace

std::optional<QImage> decodePngFastPath(QByteArrayView data, QSize atLeast) {
  return decodeRows(data, atLeast, {});
}

std::optional<QImage> decodePngFastPathTo(QByteArrayView data, QSize size) {
  if (size.isEmpty()) return std::nullopt;
  return decodeRows(data, {}, size);
}

}  // namespace pimrose
