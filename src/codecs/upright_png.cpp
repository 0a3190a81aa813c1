#include "codecs/upright_png.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "codecs/orientation.h"

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

// The rows of the picture upright: stored rows as they are, or gathered pixel by pixel from a
// picture stored turned or mirrored (8-bit RGB only, as JPEGs decode).
class UprightRows {
 public:
  UprightRows(const QImage& stored, int orientation)
      : stored_(stored), orientation_(orientation), size_(uprightSize(stored.size(), orientation)) {
    if (orientation_ != 1) row_.resize(size_t(size_.width()) * 3);
  }
  QSize size() const { return size_; }
  const uchar* row(int y) {
    if (orientation_ == 1) return stored_.constScanLine(y);
    for (int x = 0; x < size_.width(); ++x) {
      const QPoint at = storedPixel(x, y);
      std::memcpy(&row_[size_t(x) * 3], stored_.constScanLine(at.y()) + size_t(at.x()) * 3, 3);
    }
    return row_.data();
  }

 private:
  // Where upright pixel (x, y) lies in the stored picture.
  QPoint storedPixel(int x, int y) const {
    const int right = stored_.width() - 1, bottom = stored_.height() - 1;
    switch (orientation_) {
      case 2:
        return {right - x, y};
      case 3:
        return {right - x, bottom - y};
      case 4:
        return {x, bottom - y};
      case 5:
        return {y, x};
      case 6:
        return {y, bottom - x};
      case 7:
        return {right - y, bottom - x};
      case 8:
        return {right - y, x};
      default:
        return {x, y};
    }
  }

  const QImage& stored_;
  int orientation_;
  QSize size_;
  std::vector<uchar> row_;
};

bool runEncode(png_structp png, png_infop info, UprightRows& rows, bool alpha, PngOutput& output) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &output, appendToOutput, flushNothing);
  png_set_IHDR(png, info, png_uint_32(rows.size().width()), png_uint_32(rows.size().height()), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  for (int y = 0; y < rows.size().height(); ++y) png_write_row(png, rows.row(y));
  png_write_end(png, info);
  return true;
}

QByteArray encode(const QImage& image, int orientation) {
  if (image.isNull()) return {};
  // Turned pictures are gathered from 8-bit RGB: JPEGs, the only ones stored turned, have no alpha.
  const bool alpha = orientation == 1 && image.hasAlphaChannel();
  const QImage pixels = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (pixels.isNull()) return {};
  UprightRows rows(pixels, orientation < 1 || orientation > 8 ? 1 : orientation);
  PngOutput output;
  // Room for the raw rows, which the file hardly ever passes: a growing buffer would be copied as it
  // grows, for a moment holding a big photo's PNG twice. Pages never written cost nothing.
  const QSize size = rows.size();
  output.bytes.reserve(qsizetype(size.width()) * size.height() * (alpha ? 4 : 3) + size.height() + 4096);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, failOutput, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && runEncode(png, info, rows, alpha, output);
  png_destroy_write_struct(&png, &info);
  if (!ok || output.failed) return {};
  output.bytes.squeeze();
  return output.bytes;
}

}  // namespace

QByteArray encodeUprightPng(const QImage& stored, int orientation) {
  return encode(stored, orientation);
}

}  // namespace pimrose
