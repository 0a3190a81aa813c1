#include "tools/run_length_png.h"

#include <csetjmp>

#include <png.h>
#include <zlib.h>

namespace pimrose::bench {
namespace {

void append(png_structp png, png_bytep data, size_t length) {
  static_cast<QByteArray*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}
void flushNothing(png_structp) {}

bool write(png_structp png, png_infop info, const QImage& rows, QByteArray& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &out, append, flushNothing);
  const bool alpha = rows.format() == QImage::Format_RGBA8888;
  png_set_IHDR(png, info, png_uint_32(rows.width()), png_uint_32(rows.height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  for (int y = 0; y < rows.height(); ++y) png_write_row(png, rows.constScanLine(y));
  png_write_end(png, info);
  return true;
}

}  // namespace

QByteArray runLengthPng(const QImage& image) {
  const QImage rows =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  QByteArray out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && write(png, info, rows, out);
  png_destroy_write_struct(&png, &info);
  return ok ? out : QByteArray();
}

}  // namespace pimrose::bench
