#include "codecs/jpeg_decode.h"

#include <algorithm>
#include <memory>

#include <turbojpeg.h>

#include "codecs/decode_limits.h"
#include "codecs/jpeg_header.h"

namespace pimrose {
namespace {

constexpr int kPixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRA : TJPF_ARGB;

// One decompressor per thread: creating one costs more than decoding a small preview.
tjhandle threadDecompressor() {
  struct Handle {
    tjhandle handle = tjInitDecompress();
    ~Handle() {
      if (handle) tjDestroy(handle);
    }
  };
  thread_local Handle decompressor;
  return decompressor.handle;
}

tjscalingfactor chooseScale(int width, int height, QSize atLeast) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  tjscalingfactor best{1, 1};
  if (atLeast.isEmpty()) return best;
  for (int i = 0; i < count; ++i) {
    const tjscalingfactor f = factors[i];
    if (f.num > f.denom) continue;
    const bool covers = TJSCALED(width, f) >= atLeast.width() && TJSCALED(height, f) >= atLeast.height();
    if (covers && TJSCALED(width, f) < TJSCALED(width, best)) best = f;
  }
  return best;
}

// A truncated JPEG decodes with a warning and a grey lower part; that is a damaged file, not a
// picture. Other warnings (stray bytes between markers) leave a good picture and are accepted.
bool decodeFailed(tjhandle handle, int status) {
  if (status == 0) return false;
  if (tjGetErrorCode(handle) == TJERR_FATAL) return true;
  return QByteArrayView(tjGetErrorStr2(handle)).contains("Premature end");
}

// The DC-only decode never reads the end of the file, so it checks here that the file has one:
// a truncated file gives no thumbnail at any size. A few bytes of padding after it are allowed.
bool hasEndMarker(QByteArrayView data) {
  constexpr qsizetype kTail = 64;
  return data.last(std::min(kTail, data.size())).contains("\xFF\xD9");
}

QImage cmykToRgb(const QImage& cmyk) {
  // TurboJPEG hands CMYK as stored; the files that carry it (Adobe) store the inks inverted.
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

QImage decodeScaled(tjhandle handle, QByteArrayView data, QSize size, bool cmyk, JpegPixels pixels,
                    QString* error) {
  // Format_RGB32 has the byte layout of TurboJPEG's BGRA/ARGB (alpha written as 0xFF), Format_RGB888
  // that of its RGB, and CMYK needs 4 bytes a pixel, so the decoder writes straight into the final buffer.
  const bool threeBytes = pixels == JpegPixels::ThreeBytes && !cmyk;
  QImage image(size, threeBytes ? QImage::Format_RGB888 : QImage::Format_RGB32);
  if (image.isNull()) {
    if (error) *error = QStringLiteral("out of memory");
    return {};
  }
  const int status =
      tjDecompress2(handle, reinterpret_cast<const uchar*>(data.data()), qulonglong(data.size()),
                    image.bits(), size.width(), int(image.bytesPerLine()), size.height(),
                    cmyk ? TJPF_CMYK : (threeBytes ? TJPF_RGB : kPixelFormat), 0);
  if (decodeFailed(handle, status)) {
    if (error) *error = QString::fromUtf8(tjGetErrorStr2(handle));
    return {};
  }
  return cmyk ? cmykToRgb(image) : image;
}

}  // namespace

QImage decodeJpeg(QByteArrayView data, QSize atLeast, QString* error, JpegPixels pixels) {
  tjhandle handle = threadDecompressor();
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (!handle || data.isEmpty() ||
      tjDecompressHeader3(handle, reinterpret_cast<const uchar*>(data.data()), qulonglong(data.size()),
                          &width, &height, &subsampling, &colorspace) != 0) {
    if (error)
      *error = handle ? QString::fromUtf8(tjGetErrorStr2(handle)) : QStringLiteral("no decompressor");
    return {};
  }
  // libjpeg reads on past damage our header walk refuses; what the walk cannot vouch for (an embedded
  // preview, say) is not decoded, since its memory could not be bounded.
  const std::optional<JpegHeader> header = readJpegHeader(data);
  if (!header) {
    if (error) *error = QStringLiteral("damaged JPEG header");
    return {};
  }
  if (exceedsCoefficientLimit(*header)) {
    if (error)
      *error =
          QStringLiteral("picture sent in several scans too large to decode: %1x%2").arg(width).arg(height);
    return {};
  }
  const tjscalingfactor scale = chooseScale(width, height, atLeast);
  const QSize size(TJSCALED(width, scale), TJSCALED(height, scale));
  if (!isBelievableSize(QSize(width, height)) || !fitsDecodeLimit(size)) {
    if (error) *error = QStringLiteral("picture too large: %1x%2").arg(width).arg(height);
    return {};
  }
  if (scale.num * 8 == scale.denom && hasEndMarker(data)) {
    QImage firstScans = decodeJpegFirstScans(data);
    if (firstScans.size() == size) return firstScans;
  }
  const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
  return decodeScaled(handle, data, size, cmyk, pixels, error);
}

}  // namespace pimrose
