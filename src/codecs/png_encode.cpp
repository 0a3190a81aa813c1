#include "codecs/png_encode.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <libdeflate.h>

namespace pimrose {
namespace {

constexpr int kQuickLevel = 1;
constexpr int kCloserLevel = 7;
constexpr int kUpFilter = 2;

void appendBigEndian32(QByteArray& out, quint32 value) {
  const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  out.append(bytes, 4);
}

void appendChunk(QByteArray& out, const char* kind, QByteArrayView body) {
  appendBigEndian32(out, quint32(body.size()));
  const qsizetype start = out.size();
  out.append(kind, 4).append(body);
  appendBigEndian32(out, libdeflate_crc32(0, out.constData() + start, size_t(out.size() - start)));
}

QByteArray headerChunk(QSize size, bool alpha) {
  QByteArray header;
  appendBigEndian32(header, quint32(size.width()));
  appendBigEndian32(header, quint32(size.height()));
  // 8 bits a sample, RGB (2) or RGBA (6), deflate, adaptive filtering method, not interlaced.
  const char rest[5] = {8, char(alpha ? 6 : 2), 0, 0, 0};
  return header.append(rest, 5);
}

// Each row as the filter byte and the differences from the row above.
std::vector<uchar> upFiltered(const QImage& rows) {
  const size_t width = size_t(rows.width()) * (rows.hasAlphaChannel() ? 4 : 3);
  std::vector<uchar> out((width + 1) * size_t(rows.height()));
  for (int y = 0; y < rows.height(); ++y) {
    uchar* row = &out[(width + 1) * size_t(y)];
    const uchar* here = rows.constScanLine(y);
    row[0] = kUpFilter;
    if (y == 0) {
      std::copy_n(here, width, row + 1);
      continue;
    }
    const uchar* above = rows.constScanLine(y - 1);
    for (size_t i = 0; i < width; ++i) row[1 + i] = uchar(here[i] - above[i]);
  }
  return out;
}

QByteArray deflated(const std::vector<uchar>& data, int level) {
  const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(level), libdeflate_free_compressor);
  if (!compressor) return {};
  QByteArray out(qsizetype(libdeflate_zlib_compress_bound(compressor.get(), data.size())), Qt::Uninitialized);
  const size_t size =
      libdeflate_zlib_compress(compressor.get(), data.data(), data.size(), out.data(), size_t(out.size()));
  out.truncate(qsizetype(size));
  return out;
}

// Quick first; closer when the quick result shows the picture deflates well.
QByteArray pixelStream(const std::vector<uchar>& filtered) {
  QByteArray stream = deflated(filtered, kQuickLevel);
  if (!stream.isEmpty() && size_t(stream.size()) * 4 < filtered.size()) {
    QByteArray closer = deflated(filtered, kCloserLevel);
    if (!closer.isEmpty() && closer.size() < stream.size()) stream = std::move(closer);
  }
  return stream;
}

QByteArray textChunk(const QString& key, const QString& value) {
  return key.toLatin1().left(79) + '\0' + value.toLatin1();  // a key is 1 to 79 bytes
}

}  // namespace

QByteArray encodeQuickPng(const QImage& image, const PngTexts& texts) {
  if (image.isNull()) return {};
  const bool alpha = image.hasAlphaChannel();
  const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (rows.isNull()) return {};
  const QByteArray stream = pixelStream(upFiltered(rows));
  if (stream.isEmpty()) return {};
  QByteArray png("\x89PNG\r\n\x1A\n", 8);
  appendChunk(png, "IHDR", headerChunk(rows.size(), alpha));
  for (const auto& [key, value] : texts)
    if (!key.isEmpty()) appendChunk(png, "tEXt", textChunk(key, value));
  appendChunk(png, "IDAT", stream);
  appendChunk(png, "IEND", {});
  return png;
}

}  // namespace pimrose
