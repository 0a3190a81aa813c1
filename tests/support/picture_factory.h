#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>

// Builders of test pictures, made with the real encoders so each test states what it breaks.
namespace pimrose::test {

// Four flat quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
QImage quadrants(int width, int height);
// One colour all over (RGB32).
QImage flat(QSize size, QColor colour);
// Noise plus gradients: a picture with detail everywhere, as cameras make them.
QImage detailedPicture(int width, int height, quint32 seed);

QByteArray jpegOf(const QImage& image, bool progressive = false, int quality = 90);
QByteArray cmykJpegOf(const QImage& image);
// Written by libjpeg with the sampling factors given (horizontal x vertical) for Y, Cb and Cr.
QByteArray jpegSampledOf(const QImage& image, const std::array<QSize, 3>& sampling);
QByteArray pngOf(const QImage& image);
// A flat dark cyan picture of this size, as PNG.
QByteArray pngOf(QSize size);
// The picture in any format Qt writes ("PNG", "JPG", "GIF", "BMP").
QByteArray encodedAs(const QImage& image, const char* format);

// Inserts an APP1 EXIF block right after the JPEG's start marker: an orientation (0 = no tag)
// and optionally an embedded preview JPEG.
QByteArray withExif(const QByteArray& jpeg, int orientation, const QByteArray& preview = {});

struct GifFrame {
  QRect rect;
  QVector<quint8> indices;  // rect.width() * rect.height(), row by row
  bool interlaced = false;
  int transparent = -1;
  int disposal = 0;
  int delayCs = 0;  // hundredths of a second
};
// A GIF89a with the palette given and the frames in order; with `loops`, a NETSCAPE2.0 extension
// carrying that repeat count comes before the first frame.
QByteArray gifOf(QSize screen, const QVector<QColor>& palette, const QVector<GifFrame>& frames,
                 std::optional<int> loops = std::nullopt);

// The bytes of an lcms2 profile (a cmsHPROFILE), which is closed.
QByteArray savedIccProfile(void* lcmsProfile);
// An RGB ICC profile made with lcms2: white point and red, green, blue primaries as CIE xy (in that
// order), with a pure power curve of `gamma`, or the sRGB curve when `gamma` is 0.
QByteArray rgbIccProfile(const std::array<double, 8>& whiteRedGreenBlue, double gamma = 0);
// The same Display P3 (D65 white, P3 primaries) and Adobe RGB (1998) profiles phones and cameras embed.
QByteArray displayP3Profile(double gamma = 0);
QByteArray adobeRgbProfile();
// `jpeg` with `icc` as one APP2 "ICC_PROFILE" segment (piece 1 of 1) right after its start marker.
QByteArray withIccProfile(const QByteArray& jpeg, const QByteArray& icc);

// A PNG consisting of only a signature and an IHDR chunk (with a correct CRC) claiming this size.
QByteArray pngHeaderOnly(quint32 width, quint32 height);

}  // namespace pimrose::test
