#include "codecs/jpeg_decode.h"

#include <vector>

#include "codecs/decode_limits.h"
#include "codecs/jpeg_error_trap.h"
#include "codecs/jpeg_header.h"

namespace pimrose {
namespace {

// QImage's RGB32 words in memory (alpha written as 0xFF), so libjpeg writes the final pixels.
constexpr J_COLOR_SPACE kWordOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// A reduction libjpeg makes while decoding, num/denom: it scales by eighths.
struct JpegScale {
  int num = 1;
  int denom = 1;
};

// A side as libjpeg scales it: rounded up, so a picture is never a pixel short.
int scaled(int side, JpegScale scale) {
  return (side * scale.num + scale.denom - 1) / scale.denom;
}

// The smallest eighth that still covers atLeast (sizes grow with the eighths, so the first that
// falls short ends the search); whole size where none does.
JpegScale chooseScale(int width, int height, QSize atLeast) {
  JpegScale best;
  if (atLeast.isEmpty()) return best;
  for (int eighths = 7; eighths >= 1; --eighths) {
    const JpegScale f{eighths, 8};
    if (scaled(width, f) < atLeast.width() || scaled(height, f) < atLeast.height()) break;
    if (scaled(width, f) < scaled(width, best)) best = f;
  }
  return best;
}

QImage cmykToRgb(const QImage& cmyk) {
  // libjpeg hands CMYK as stored; the files that carry it (Adobe) store the inks inverted.
  QImage rgb(cmyk.size(), QImage::Format_RGB32);
  for (int y = 0; y < cmyk.height(); ++y) {
    const uchar* in = cmyk.constScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(rgb.scanLine(y));
    for (int x = 0; x < cmyk.width(); ++x, in += 4) {
      const int k = in[3];
      out[x] = qRgb(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
    }
  }
  return rgb;
}

bool isCmyk(const jpeg_decompress_struct& cinfo) {
  return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

// libjpeg goes on past a file that ends early (the rest grey) and past damage it can step over,
// with a warning; what it makes then is shown, as browsers and file managers show it. An error
// that stops it leaves no picture. Every object that lives across the setjmp is the caller's, so a
// jump skips no destructor.
bool decodeWithTrap(jpeg_decompress_struct& cinfo, JpegErrorTrap& trap, QByteArrayView data, JpegScale scale,
                    QSize size, JpegPixels pixels, QImage& image, std::vector<JSAMPROW>& rows) {
  if (setjmp(trap.jump)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.scale_num = unsigned(scale.num);
  cinfo.scale_denom = unsigned(scale.denom);
  // CMYK needs the same 4 bytes a pixel as RGB32, and RGB888 is libjpeg's own RGB, so each is written
  // straight into the image.
  const bool threeBytes = pixels == JpegPixels::ThreeBytes && !isCmyk(cinfo);
  cinfo.out_color_space = isCmyk(cinfo) ? JCS_CMYK : (threeBytes ? JCS_RGB : kWordOrder);
  jpeg_start_decompress(&cinfo);
  // The header walk that bounded the memory must have seen the frame libjpeg decodes.
  if (QSize(int(cinfo.output_width), int(cinfo.output_height)) != size) return false;
  image = QImage(size, threeBytes ? QImage::Format_RGB888 : QImage::Format_RGB32);
  if (image.isNull()) return false;
  rows.resize(size_t(size.height()));
  for (int y = 0; y < size.height(); ++y) rows[size_t(y)] = image.scanLine(y);
  while (cinfo.output_scanline < cinfo.output_height)
    jpeg_read_scanlines(&cinfo, &rows[cinfo.output_scanline], cinfo.output_height - cinfo.output_scanline);
  jpeg_finish_decompress(&cinfo);
  return true;
}

QImage decodeScaled(QByteArrayView data, JpegScale scale, QSize size, JpegPixels pixels, QString* error) {
  jpeg_decompress_struct cinfo{};
  JpegErrorTrap trap{};
  trap.attach(cinfo);
  QImage image;
  std::vector<JSAMPROW> rows;
  const bool ok = decodeWithTrap(cinfo, trap, data, scale, size, pixels, image, rows);
  const bool cmyk = isCmyk(cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) {
    if (error)
      *error = trap.message[0] ? QString::fromUtf8(trap.message) : QStringLiteral("not a readable JPEG");
    return {};
  }
  return cmyk ? cmykToRgb(image) : image;
}

}  // namespace

QImage decodeJpeg(QByteArrayView data, QSize atLeast, QString* error, JpegPixels pixels) {
  // libjpeg reads on past damage our header walk refuses; what the walk cannot vouch for (an embedded
  // preview, say) is not decoded, since its memory could not be bounded.
  const std::optional<JpegHeader> header = readJpegHeader(data);
  if (!header) {
    if (error) *error = QStringLiteral("damaged JPEG header");
    return {};
  }
  return decodeJpeg(data, *header, atLeast, error, pixels);
}

QImage decodeJpeg(QByteArrayView data, const JpegHeader& header, QSize atLeast, QString* error,
                  JpegPixels pixels) {
  const QSize stored = header.storedSize;
  if (exceedsCoefficientLimit(header)) {
    if (error)
      *error = QStringLiteral("picture sent in several scans too large to decode: %1x%2")
                   .arg(stored.width())
                   .arg(stored.height());
    return {};
  }
  const JpegScale scale = chooseScale(stored.width(), stored.height(), atLeast);
  const QSize size(scaled(stored.width(), scale), scaled(stored.height(), scale));
  if (!isBelievableSize(stored) || !fitsDecodeLimit(size)) {
    if (error) *error = QStringLiteral("picture too large: %1x%2").arg(stored.width()).arg(stored.height());
    return {};
  }
  if (pixels == JpegPixels::FourBytes && scale.num * 8 == scale.denom && header.progressive) {
    QImage firstScans = decodeJpegFirstScans(data, header);
    if (firstScans.size() == size) return firstScans;
  }
  return decodeScaled(data, scale, size, pixels, error);
}

}  // namespace pimrose
