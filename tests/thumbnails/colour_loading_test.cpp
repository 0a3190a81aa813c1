// Pictures tagged with a colour profile nobody has used yet, thumbnailed by several loaders at once:
// the profile's conversion is made once and shared (ThreadSanitizer runs this in the threads
// build), and every thumbnail comes out converted, the same as one made alone.
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <lcms2.h>

#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/load_thumbnail.h"

namespace pimrose {
namespace {

// Display P3 primaries with a pure 2.2 power curve: a profile no other test of this program makes.
QByteArray freshProfile() {
  const cmsCIExyY white{0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries{{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  cmsUInt32Number bytes = 0;
  cmsSaveProfileToMem(profile, nullptr, &bytes);
  QByteArray icc(qsizetype(bytes), '\0');
  cmsSaveProfileToMem(profile, icc.data(), &bytes);
  cmsCloseProfile(profile);
  return icc;
}

QByteArray taggedJpeg(const QByteArray& icc) {
  QImage green(64, 48, QImage::Format_RGB32);
  green.fill(qRgb(90, 170, 80));
  const QByteArray jpeg = test::jpegOf(green, false, 95);
  const QByteArray piece = QByteArray("ICC_PROFILE\0\1\1", 14) + icc;
  const qsizetype length = piece.size() + 2;
  return jpeg.left(2) + "\xFF\xE2" + char(length >> 8) + char(length & 0xFF) + piece + jpeg.mid(2);
}

TEST(ColourLoaders, LoadersConvertingAtOnceShareOneConversionAndAgree) {
  test::Sandbox box;
  const QByteArray jpeg = taggedJpeg(freshProfile());
  std::vector<QString> paths;
  for (int i = 0; i < 8; ++i) paths.push_back(box.write(QStringLiteral("p%1.jpg").arg(i), jpeg));
  std::vector<QImage> made(paths.size());
  std::vector<std::thread> loaders;
  for (size_t t = 0; t < 4; ++t)
    loaders.emplace_back([&, t] {
      for (size_t i = t; i < paths.size(); i += 4) made[i] = loadThumbnail(paths[i], 32, false).image;
    });
  for (std::thread& loader : loaders) loader.join();

  const QImage alone = loadThumbnail(paths[0], 32, false).image;
  ASSERT_FALSE(alone.isNull());
  for (const QImage& image : made) EXPECT_EQ(image, alone);
  const QRgb centre = alone.pixel(16, 12);
  EXPECT_GT(std::abs(qRed(centre) - 90) + std::abs(qGreen(centre) - 170) + std::abs(qBlue(centre) - 80), 12)
      << "the wide-gamut green was shown without its profile";
}

}  // namespace
}  // namespace pimrose
