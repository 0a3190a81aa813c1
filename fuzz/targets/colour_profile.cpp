// Colour profiles as files carry them: a PNG's colour chunks, a JPEG's numbered ICC pieces, or
// (anything else) the bytes as an ICC profile for lcms2; each converts a row of pixels to sRGB.
#include <QImage>

#include "codecs/colour_profile.h"
#include "codecs/embedded_colour.h"
#include "codecs/jpeg_header.h"
#include "codecs/picture_format.h"
#include "fuzz_input.h"

namespace {

pimrose::ColourProfile profileOf(QByteArrayView bytes) {
  switch (pimrose::sniffFormat(bytes)) {
    case pimrose::PictureFormat::Png:
      return pimrose::pngColourProfile(bytes);
    case pimrose::PictureFormat::Jpeg: {
      const auto header = pimrose::readJpegHeader(bytes);
      return header ? pimrose::jpegColourProfile(header->iccChunks) : pimrose::ColourProfile();
    }
    default:
      return pimrose::ColourProfile::fromIcc(bytes.toByteArray());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pimrose::ColourProfile profile = profileOf(pimrose::fuzz::bytesOf(data, size));
  QImage row(16, 2, QImage::Format_ARGB32_Premultiplied);
  for (int x = 0; x < row.width(); ++x) {
    row.setPixel(x, 0, qRgba(x * 16, 255 - x * 16, x * 7, 255));
    row.setPixel(x, 1, qPremultiply(qRgba(x * 16, 128, 255 - x * 16, x * 16)));
  }
  pimrose::convertedToSrgb(row, profile);
  pimrose::convertedToSrgb(row.convertToFormat(QImage::Format_RGBX8888), profile);
  return 0;
}
