#include "shell/ico_image.h"

#include <QtEndian>

namespace pimrose {
namespace {

constexpr qsizetype kHeaderSize = 6;
constexpr qsizetype kEntrySize = 16;
constexpr qsizetype kBitmapHeaderSize = 40;
constexpr int kLargestSide = 1024;  // larger icons are not icons; refuse before allocating

quint16 read16(QByteArrayView bytes, qsizetype at) {
  return qFromLittleEndian<quint16>(bytes.data() + at);
}
quint32 read32(QByteArrayView bytes, qsizetype at) {
  return qFromLittleEndian<quint32>(bytes.data() + at);
}

bool fits(qsizetype total, quint64 offset, quint64 length) {
  return offset <= quint64(total) && length <= quint64(total) - offset;
}

struct BitmapLayout {
  int width = 0;
  int height = 0;  // the picture's own height: the header counts colour rows and mask rows
  int bitCount = 0;
  qsizetype paletteAt = 0;
  int paletteSize = 0;
  qsizetype pixelsAt = 0;
  qsizetype colourStride = 0;
  qsizetype maskAt = 0;
  qsizetype maskStride = 0;
};

qsizetype rowStride(int width, int bits) {
  return ((qsizetype(width) * bits + 31) / 32) * 4;
}

std::optional<BitmapLayout> bitmapLayout(QByteArrayView image) {
  if (image.size() < kBitmapHeaderSize) return std::nullopt;
  const quint32 headerSize = read32(image, 0);
  BitmapLayout b;
  b.width = qint32(read32(image, 4));
  const qint32 doubledHeight = qint32(read32(image, 8));
  b.bitCount = read16(image, 14);
  if (headerSize < kBitmapHeaderSize || read32(image, 16) != 0) return std::nullopt;  // compressed
  if (b.width <= 0 || b.width > kLargestSide || doubledHeight <= 0 || doubledHeight > 2 * kLargestSide)
    return std::nullopt;
  if (b.bitCount != 32 && b.bitCount != 24 && b.bitCount != 8) return std::nullopt;
  b.height = doubledHeight / 2;
  if (b.height == 0) return std::nullopt;
  const quint32 used = read32(image, 32);
  b.paletteSize = b.bitCount == 8 ? (used == 0 || used > 256 ? 256 : int(used)) : 0;
  b.paletteAt = headerSize;
  b.pixelsAt = b.paletteAt + qsizetype(b.paletteSize) * 4;
  b.colourStride = rowStride(b.width, b.bitCount);
  b.maskAt = b.pixelsAt + b.colourStride * b.height;
  b.maskStride = rowStride(b.width, 1);
  // Some writers leave the AND mask out of 32-bit images; the alpha channel is enough there.
  const qsizetype maskBytes = b.bitCount == 32 ? 0 : b.maskStride * b.height;
  if (!fits(image.size(), quint64(b.pixelsAt), quint64(b.colourStride * b.height + maskBytes)))
    return std::nullopt;
  return b;
}

QRgb pixelAt(QByteArrayView image, const BitmapLayout& b, int x, int row) {
  const auto* line = reinterpret_cast<const uchar*>(image.data() + b.pixelsAt + b.colourStride * row);
  if (b.bitCount == 32) return qRgba(line[4 * x + 2], line[4 * x + 1], line[4 * x], line[4 * x + 3]);
  if (b.bitCount == 24) return qRgb(line[3 * x + 2], line[3 * x + 1], line[3 * x]);
  const int entry = line[x];
  if (entry >= b.paletteSize) return qRgb(0, 0, 0);
  const auto* palette = reinterpret_cast<const uchar*>(image.data() + b.paletteAt + 4 * entry);
  return qRgb(palette[2], palette[1], palette[0]);
}

bool maskHides(QByteArrayView image, const BitmapLayout& b, int x, int row) {
  if (!fits(image.size(), quint64(b.maskAt + b.maskStride * row), quint64(b.maskStride))) return false;
  const auto byte = uchar(image[b.maskAt + b.maskStride * row + x / 8]);
  return (byte >> (7 - x % 8)) & 1;
}

QImage decodeBitmap(QByteArrayView image, const BitmapLayout& b) {
  QImage out(b.width, b.height, QImage::Format_ARGB32);
  if (out.isNull()) return {};
  for (int row = 0; row < b.height; ++row) {
    auto* target = reinterpret_cast<QRgb*>(out.scanLine(b.height - 1 - row));  // stored bottom-up
    for (int x = 0; x < b.width; ++x) {
      const QRgb colour = pixelAt(image, b, x, row);
      target[x] = b.bitCount != 32 && maskHides(image, b, x, row) ? qRgba(0, 0, 0, 0) : colour;
    }
  }
  return out;
}

}  // namespace

std::optional<IcoEntry> icoEntryAt(QByteArrayView ico, int index) {
  if (index < 0 || ico.size() < kHeaderSize) return std::nullopt;
  if (read16(ico, 0) != 0 || read16(ico, 2) != 1 || index >= read16(ico, 4)) return std::nullopt;
  const qsizetype entryAt = kHeaderSize + kEntrySize * index;
  if (!fits(ico.size(), quint64(entryAt), quint64(kEntrySize))) return std::nullopt;
  const quint32 size = read32(ico, entryAt + 8);
  const quint32 offset = read32(ico, entryAt + 12);
  if (size == 0 || !fits(ico.size(), offset, size)) return std::nullopt;
  return IcoEntry{uchar(ico[entryAt]), uchar(ico[entryAt + 1]), ico.sliced(offset, size).toByteArray()};
}

QImage decodeIcoImage(QByteArrayView image) {
  static const QByteArrayView pngSignature("\x89PNG\r\n\x1a\n", 8);
  if (image.startsWith(pngSignature)) return QImage::fromData(image, "PNG");
  const std::optional<BitmapLayout> layout = bitmapLayout(image);
  return layout ? decodeBitmap(image, *layout) : QImage();
}

}  // namespace pimrose
