#include "support/picture_factory.h"

#include <random>
#include <vector>

#include <QBuffer>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>

#include <gif_lib.h>
#include <jpeglib.h>
#include <lcms2.h>
#include <turbojpeg.h>

namespace pimrose::test {
namespace {

void appendBigEndian(QByteArray& out, quint32 value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.append(char((value >> (8 * i)) & 0xFF));
}
void appendLittleEndian(QByteArray& out, quint32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
}
void appendIfdEntry(QByteArray& tiff, quint16 tag, quint16 type, quint32 value) {
  appendLittleEndian(tiff, tag, 2);
  appendLittleEndian(tiff, type, 2);
  appendLittleEndian(tiff, 1, 4);
  appendLittleEndian(tiff, value, 4);
}

quint32 crc32Of(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFF;
  for (const char byte : bytes) {
    crc ^= quint8(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

int writeToBuffer(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

std::vector<int> gifRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
  for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
    for (int y = interlaced ? start[pass] : 0; y < height; y += interlaced ? step[pass] : 1)
      order.push_back(y);
  return order;
}

void putFrame(GifFileType* gif, const GifFrame& frame) {
  if (frame.transparent >= 0 || frame.disposal != 0 || frame.delayCs != 0) {
    const GifByteType control[4] = {GifByteType(frame.disposal << 2 | (frame.transparent >= 0 ? 1 : 0)),
                                    GifByteType(frame.delayCs & 0xFF), GifByteType(frame.delayCs >> 8),
                                    GifByteType(std::max(frame.transparent, 0))};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  }
  const QRect r = frame.rect;
  EGifPutImageDesc(gif, r.x(), r.y(), r.width(), r.height(), frame.interlaced, nullptr);
  for (int y : gifRowOrder(r.height(), frame.interlaced)) {
    std::vector<GifPixelType> line(frame.indices.begin() + y * r.width(),
                                   frame.indices.begin() + (y + 1) * r.width());
    EGifPutLine(gif, line.data(), r.width());
  }
}

void putLoops(GifFileType* gif, int loops) {
  const GifByteType repeat[3] = {1, GifByteType(loops & 0xFF), GifByteType(loops >> 8)};
  EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
  EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
  EGifPutExtensionBlock(gif, 3, repeat);
  EGifPutExtensionTrailer(gif);
}

}  // namespace

QImage quadrants(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      image.setPixel(x, y,
                     bottom ? (right ? qRgb(255, 255, 255) : qRgb(0, 0, 255))
                            : (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0)));
    }
  return image;
}

QImage detailedPicture(int width, int height, quint32 seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-40, 40);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int edge = ((x / 37 + y / 53) % 2) * 60;
      const auto channel = [&](int base) { return std::clamp(base + edge + noise(random), 0, 255); };
      line[x] = qRgb(channel(x * 150 / width), channel(y * 150 / height),
                     channel((x + y) * 100 / (width + height)));
    }
  }
  return image;
}

QImage flat(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QByteArray jpegOf(const QImage& image, bool progressive, int quality) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(quality);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return out;
}

namespace {

QByteArray turboJpegOf(const uchar* pixels, int width, int height, int format, int subsampling) {
  tjhandle handle = tjInitCompress();
  uchar* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, pixels, width, 0, height, format, &jpeg, &size, subsampling, 95, 0);
  QByteArray out(reinterpret_cast<const char*>(jpeg), qsizetype(size));
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

}  // namespace

QByteArray cmykJpegOf(const QImage& image) {
  // Inverted inks, as Adobe writes them: C = 255 - red and so on, K = 255 (no black).
  std::vector<uchar> cmyk(size_t(image.width()) * size_t(image.height()) * 4);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      uchar* c = &cmyk[(size_t(y) * size_t(image.width()) + size_t(x)) * 4];
      c[0] = uchar(qRed(p)), c[1] = uchar(qGreen(p)), c[2] = uchar(qBlue(p)), c[3] = 255;
    }
  return turboJpegOf(cmyk.data(), image.width(), image.height(), TJPF_CMYK, TJSAMP_444);
}

QByteArray jpegSampledOf(const QImage& image, const std::array<QSize, 3>& sampling) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  for (int c = 0; c < 3; ++c) {
    cinfo.comp_info[c].h_samp_factor = sampling[size_t(c)].width();
    cinfo.comp_info[c].v_samp_factor = sampling[size_t(c)].height();
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
  std::free(buffer);
  return out;
}

QByteArray pngOf(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "png").write(image);
  return out;
}

QByteArray pngOf(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  return pngOf(image);
}

QByteArray encodedAs(const QImage& image, const char* format) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return out;
}

QByteArray withExif(const QByteArray& jpeg, int orientation, const QByteArray& preview) {
  QByteArray tiff("II*\0", 4);
  appendLittleEndian(tiff, 8, 4);
  const quint32 ifd1 = 8 + 2 + 12 + 4;
  appendLittleEndian(tiff, 1, 2);
  appendIfdEntry(tiff, 0x0112, 3, quint32(orientation));
  appendLittleEndian(tiff, preview.isEmpty() ? 0 : ifd1, 4);
  if (!preview.isEmpty()) {
    appendLittleEndian(tiff, 2, 2);
    appendIfdEntry(tiff, 0x0201, 4, ifd1 + 2 + 2 * 12 + 4);
    appendIfdEntry(tiff, 0x0202, 4, quint32(preview.size()));
    appendLittleEndian(tiff, 0, 4);
    tiff.append(preview);
  }
  if (orientation == 0) tiff[8 + 2 + 1] = char(0x7F);  // an unknown tag instead of the orientation
  QByteArray segment("\xFF\xE1", 2);
  appendBigEndian(segment, quint32(2 + 6 + tiff.size()), 2);
  segment.append(QByteArray("Exif\0\0", 6)).append(tiff);
  return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray gifOf(QSize screen, const QVector<QColor>& palette, const QVector<GifFrame>& frames,
                 std::optional<int> loops) {
  QByteArray out;
  int status = 0;
  GifFileType* gif = EGifOpen(&out, writeToBuffer, &status);
  std::vector<GifColorType> colours(256);
  for (int i = 0; i < palette.size(); ++i)
    colours[size_t(i)] = {GifByteType(palette[i].red()), GifByteType(palette[i].green()),
                          GifByteType(palette[i].blue())};
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, screen.width(), screen.height(), 8, 0, map);
  if (loops) putLoops(gif, *loops);
  for (const GifFrame& frame : frames) putFrame(gif, frame);
  EGifCloseFile(gif, &status);
  GifFreeMapObject(map);
  return out;
}

QByteArray pngHeaderOnly(quint32 width, quint32 height) {
  QByteArray chunk("IHDR");
  appendBigEndian(chunk, width, 4);
  appendBigEndian(chunk, height, 4);
  chunk.append(QByteArray("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB, not interlaced
  QByteArray png("\x89PNG\r\n\x1A\n", 8);
  appendBigEndian(png, 13, 4);
  png.append(chunk);
  appendBigEndian(png, crc32Of(chunk), 4);
  return png;
}

QByteArray savedIccProfile(void* profile) {
  cmsUInt32Number bytes = 0;
  cmsSaveProfileToMem(profile, nullptr, &bytes);
  QByteArray icc(qsizetype(bytes), '\0');
  cmsSaveProfileToMem(profile, icc.data(), &bytes);
  cmsCloseProfile(profile);
  return icc;
}

QByteArray rgbIccProfile(const std::array<double, 8>& c, double gamma) {
  const cmsCIExyY white{c[0], c[1], 1};
  const cmsCIExyYTRIPLE primaries{{c[2], c[3], 1}, {c[4], c[5], 1}, {c[6], c[7], 1}};
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve =
      gamma > 0 ? cmsBuildGamma(nullptr, gamma) : cmsBuildParametricToneCurve(nullptr, 4, srgb);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  return savedIccProfile(profile);
}

QByteArray displayP3Profile(double gamma) {
  return rgbIccProfile({0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}, gamma);
}

QByteArray adobeRgbProfile() {
  return rgbIccProfile({0.3127, 0.3290, 0.64, 0.33, 0.21, 0.71, 0.15, 0.06}, 563.0 / 256.0);
}

QByteArray withIccProfile(const QByteArray& jpeg, const QByteArray& icc) {
  const QByteArray piece = QByteArray("ICC_PROFILE\0\1\1", 14) + icc;
  QByteArray segment("\xFF\xE2", 2);
  appendBigEndian(segment, quint32(piece.size() + 2), 2);
  return jpeg.left(2) + segment + piece + jpeg.mid(2);
}

}  // namespace pimrose::test
