#include "codecs/png_encode.h"

#include <csetjmp>
#include <vector>

#include <png.h>
#include <zlib.h>

namespace pimrose {
namespace {

struct PngOutput {
  QByteArray bytes;
  bool failed = false;
};

void appendToOutput(png_structp png, png_bytep data, size_t length) {
  static_cast<PngOutput*>(png_get_io_ptr(png))
      ->bytes.append(reinterpret_cast<const char*>(data), qsizetype(length));
}
void flushNothing(png_structp) {}

void failOutput(png_structp png, png_const_charp) {
  static_cast<PngOutput*>(png_get_error_ptr(png))->failed = true;
  png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// The keys and values as libpng holds them, alive for as long as the write.
struct TextChunks {
  std::vector<QByteArray> keys;
  std::vector<QByteArray> values;
  std::vector<png_text> chunks;

  explicit TextChunks(const PngTexts& texts) {
    for (const auto& [key, value] : texts) {
      keys.push_back(key.toLatin1().left(79));  // a key is 1 to 79 bytes
      values.push_back(value.toLatin1());
    }
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i].isEmpty()) continue;
      png_text chunk{};
      chunk.compression = PNG_TEXT_COMPRESSION_NONE;
      chunk.key = keys[i].data();
      chunk.text = values[i].data();
      chunk.text_length = size_t(values[i].size());
      chunks.push_back(chunk);
    }
  }
};

bool runEncode(png_structp png, png_infop info, const QImage& rows, TextChunks& texts, PngOutput& output) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &output, appendToOutput, flushNothing);
  const bool alpha = rows.format() == QImage::Format_RGBA8888;
  png_set_IHDR(png, info, png_uint_32(rows.width()), png_uint_32(rows.height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  if (!texts.chunks.empty()) png_set_text(png, info, texts.chunks.data(), int(texts.chunks.size()));
  png_write_info(png, info);
  for (int y = 0; y < rows.height(); ++y) png_write_row(png, rows.constScanLine(y));
  png_write_end(png, info);
  return true;
}

}  // namespace

QByteArray encodeQuickPng(const QImage& image, const PngTexts& texts) {
  if (image.isNull()) return {};
  const QImage rows =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (rows.isNull()) return {};
  TextChunks chunks(texts);
  PngOutput output;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, failOutput, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && runEncode(png, info, rows, chunks, output);
  png_destroy_write_struct(&png, &info);
  if (!ok || output.failed) return {};
  return output.bytes;
}

}  // namespace pimrose
