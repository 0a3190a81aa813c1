// Wide-gamut pictures show in their true colours: patches tagged Display P3 or Adobe RGB by
// Debian's tools come out within ΔE 2 of lcms2's own sRGB conversion of the patch colours, in every
// format, whole and as thumbnails; untagged copies are untouched; a broken profile is ignored.
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <lcms2.h>
#include <zlib.h>

#include "codecs/colour_profile.h"
#include "codecs/decode_picture.h"
#include "codecs/embedded_colour.h"
#include "codecs/file_reading.h"
#include "codecs/picture_decoder.h"
#include "support/debian_tools.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

using test::Sandbox;

struct Closer {
  void operator()(void* handle) const { cmsCloseProfile(handle); }
};
using Profile = std::unique_ptr<void, Closer>;

// Pure red (which lies beyond sRGB and clips to sRGB red) and three colours inside sRGB, which a
// picture shown without its profile gets visibly wrong.
constexpr QRgb kPatchColours[] = {qRgb(255, 0, 0), qRgb(200, 150, 120), qRgb(90, 170, 80), qRgb(40, 60, 200)};
constexpr int kPatch = 48;

QImage patches() {
  QImage image(kPatch * 4, kPatch, QImage::Format_RGB32);
  for (int i = 0; i < 4; ++i)
    for (int y = 0; y < kPatch; ++y)
      for (int x = 0; x < kPatch; ++x) image.setPixel(i * kPatch + x, y, kPatchColours[i]);
  return image;
}

void converted(const QByteArray& icc, QRgb colour, cmsHPROFILE to, cmsUInt32Number format, void* out) {
  const Profile from(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
  const cmsHTRANSFORM t = cmsCreateTransform(from.get(), TYPE_RGB_8, to, format, INTENT_PERCEPTUAL, 0);
  const quint8 in[3] = {quint8(qRed(colour)), quint8(qGreen(colour)), quint8(qBlue(colour))};
  cmsDoTransform(t, in, out, 1);
  cmsDeleteTransform(t);
}

// lcms2's own conversion of `colour` from `icc` to sRGB.
QRgb lcmsSrgb(const QByteArray& icc, QRgb colour) {
  const Profile srgb(cmsCreate_sRGBProfile());
  quint8 out[3];
  converted(icc, colour, srgb.get(), TYPE_RGB_8, out);
  return qRgb(out[0], out[1], out[2]);
}

double deltaE2000(QRgb a, QRgb b) {
  static const QByteArray srgbIcc = test::savedIccProfile(cmsCreate_sRGBProfile());
  const Profile lab(cmsCreateLab4Profile(nullptr));
  cmsCIELab la, lb;
  converted(srgbIcc, a, lab.get(), TYPE_Lab_DBL, &la);
  converted(srgbIcc, b, lab.get(), TYPE_Lab_DBL, &lb);
  return cmsCIE2000DeltaE(&la, &lb, 1, 1, 1);
}

// The worst ΔE between the middles of `image`'s four patches and `expected(patch colour)`.
double worstPatch(const QImage& image, const std::function<QRgb(QRgb)>& expected) {
  double worst = 0;
  for (int i = 0; i < 4; ++i) {
    const QRgb got = image.pixel((2 * i + 1) * image.width() / 8, image.height() / 2);
    worst = std::max(worst, deltaE2000(got, expected(kPatchColours[i])));
  }
  return worst;
}

struct Maker {
  const char* name;
  std::vector<std::pair<const char*, const char*>> tools;
  // Makes the file from the patches as PNG, tagged with `icc` (a file) or, when that is empty, not.
  std::function<QStringList(const QString& png, const QString& icc, const QString& out)> arguments;
  const char* program = "convert";
  const char* extension = "";
  bool adobe = false;  // tagged Adobe RGB instead of Display P3
};

const auto kConvert = std::pair{"convert", "imagemagick"};

std::vector<Maker> makers() {
  const auto convert = [](QStringList options) {
    return [options](const QString& png, const QString& icc, const QString& out) {
      QStringList arguments{png};
      if (!icc.isEmpty()) arguments << QStringLiteral("-profile") << icc;
      return arguments << options << out;
    };
  };
  const auto fromPng = [](QStringList before, QStringList after) {
    return [before, after](const QString& png, const QString&, const QString& out) {
      return QStringList(before) << png << after << out;
    };
  };
  const QStringList jpeg{"-quality", "98", "-sampling-factor", "1x1"};
  return {
      {"jpeg_display_p3", {kConvert}, convert(jpeg), "convert", ".jpg"},
      {"jpeg_adobe_rgb", {kConvert}, convert(jpeg), "convert", ".jpg", true},
      {"png_display_p3", {kConvert}, convert({}), "convert", ".png"},
      {"png_adobe_rgb", {kConvert}, convert({}), "convert", ".png", true},
      {"heic_display_p3",
       {kConvert, {"heif-enc", "libheif-examples"}},
       fromPng({"-q", "95"}, {"-o"}),
       "heif-enc",
       ".heic"},
      {"avif_display_p3", {kConvert, {"avifenc", "libavif-bin"}}, fromPng({}, {}), "avifenc", ".avif"},
      {"jxl_display_p3", {kConvert, {"cjxl", "libjxl-tools"}}, fromPng({}, {}), "cjxl", ".jxl"},
      {"jxl_lossless_display_p3",
       {kConvert, {"cjxl", "libjxl-tools"}},
       fromPng({"-d", "0"}, {}),
       "cjxl",
       ".jxl"},
      // Read by Qt's plugins, which hand over the profile as the image's colour space.
      {"webp_display_p3",
       {kConvert, {"cwebp", "webp"}},
       fromPng({"-q", "95", "-metadata", "icc"}, {"-o"}),
       "cwebp",
       ".webp"},
      {"tiff_display_p3", {kConvert}, convert({}), "convert", ".tiff"},
  };
}

void PrintTo(const Maker& made, std::ostream* out) {
  *out << made.name;
}

class TaggedPictures : public ::testing::TestWithParam<Maker> {};

// For the other encoders the tagged PNG made by ImageMagick is the input: they carry its profile over.
// It is written as 8-bit RGB: heif-enc 1.15 garbles the 2-bit palette ImageMagick would choose.
QString make(const Sandbox& box, const Maker& maker, const QString& icc, const QString& name) {
  const QString png = box.write(name + QStringLiteral(".source.png"), test::pngOf(patches()));
  QString input = png;
  if (QLatin1String(maker.program) != QLatin1String("convert") && !icc.isEmpty()) {
    input = box.filePath(name + QStringLiteral(".tagged.png"));
    if (!test::runTool(QStringLiteral("convert"),
                       {png, QStringLiteral("-profile"), icc, QStringLiteral("PNG24:") + input}))
      return {};
  }
  const QString out = box.filePath(name + QLatin1String(maker.extension));
  return test::runTool(QString::fromLatin1(maker.program), maker.arguments(input, icc, out)) ? out
                                                                                             : QString();
}

TEST_P(TaggedPictures, ShowInSrgbWithinDeltaE2OfLcmsAndUntaggedCopiesAreUntouched) {
  const Maker& maker = GetParam();
  for (const auto& tool : maker.tools)
    if (const QString why = test::missingTool({tool}); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  Sandbox box;
  const QByteArray icc = maker.adobe ? test::adobeRgbProfile() : test::displayP3Profile();
  const QString iccFile = box.write(QStringLiteral("profile.icc"), icc);
  const QString tagged = make(box, maker, iccFile, QStringLiteral("tagged"));
  const QString untagged = make(box, maker, {}, QStringLiteral("untagged"));
  ASSERT_FALSE(tagged.isEmpty() || untagged.isEmpty()) << "the encoder failed";

  const auto viaLcms = [&](QRgb colour) { return lcmsSrgb(icc, colour); };
  const auto asStored = [](QRgb colour) { return colour; };
  QString error;
  const QImage whole = decodePicture(tagged, &error);
  ASSERT_FALSE(whole.isNull()) << error.toStdString();
  EXPECT_LE(worstPatch(whole, viaLcms), 2.0);
  const QImage thumbnail = thumbnailImage(readFileBytes(tagged), QSize(96, 24), PreviewUse::Refused, &error);
  EXPECT_LE(worstPatch(thumbnail, viaLcms), 2.0);
  EXPECT_LE(worstPatch(decodePicture(untagged), asStored), 2.0);
}

INSTANTIATE_TEST_SUITE_P(DebianTools, TaggedPictures, ::testing::ValuesIn(makers()),
                         [](const auto& info) { return std::string(info.param.name); });

QByteArray pngChunk(const char* type, const QByteArray& data) {
  QByteArray chunk;
  for (int shift : {24, 16, 8, 0}) chunk.append(char(quint32(data.size()) >> shift));
  const QByteArray body = QByteArray(type, 4) + data;
  const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
  chunk += body;
  for (int shift : {24, 16, 8, 0}) chunk.append(char(crc >> shift));
  return chunk;
}

QByteArray bigEndian(std::initializer_list<double> values) {
  QByteArray out;
  for (const double v : values)
    for (int shift : {24, 16, 8, 0}) out.append(char(quint32(std::lround(v * 100000)) >> shift));
  return out;
}

// The patches as PNG with these chunks between the header and the pixels.
QByteArray pngWith(const QByteArray& chunks) {
  const QByteArray png = test::pngOf(patches());
  return png.left(33) + chunks + png.mid(33);  // signature (8) and IHDR (25)
}

// cHRM with gAMA describes a profile, as an ICC profile does; sRGB or gAMA alone leave the pixels.
TEST(PngColourChunks, PrimariesWithAGammaAreConvertedAndOtherwiseThePixelsStay) {
  const QByteArray p3 =
      pngChunk("cHRM", bigEndian({0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060}));
  const QByteArray gamma = pngChunk("gAMA", bigEndian({1 / 2.2}));
  const QByteArray srgb = pngChunk("sRGB", QByteArray(1, '\0'));
  const QByteArray icc = test::displayP3Profile();
  const struct {
    const char* what;
    QByteArray chunks;
    bool converted;
  } cases[] = {
      {"cHRM and gAMA", p3 + gamma, true},
      {"sRGB first", srgb + p3 + gamma, false},
      {"gAMA alone", gamma, false},
      {"cHRM alone", p3, false},
  };
  for (const auto& c : cases) {
    const QByteArray png = pngWith(c.chunks);
    EXPECT_EQ(pngColourProfile(png).isTagged(), c.converted) << c.what;
    const QImage decoded = decodeUpright(png, QSize(), PreviewUse::Refused, nullptr);
    const auto expected = [&](QRgb colour) { return c.converted ? lcmsSrgb(icc, colour) : colour; };
    EXPECT_LE(worstPatch(decoded, expected), c.converted ? 2.0 : 0.0) << c.what;
  }
}

QByteArray iccChunk(int number, int count, const QByteArray& piece) {
  return QByteArray("ICC_PROFILE\0", 12) + char(number) + char(count) + piece;
}

// A JPEG's profile comes in numbered pieces; a set with a piece missing, repeated or miscounted is
// no profile. The pieces are taken in their numbered order, whatever the file order.
TEST(JpegProfilePieces, OnlyACompleteNumberedSetMakesAProfile) {
  const QByteArray icc = test::displayP3Profile(), a = icc.left(100), b = icc.mid(100);
  const QByteArray one = iccChunk(1, 2, a), two = iccChunk(2, 2, b);
  const struct {
    const char* what;
    QList<QByteArray> chunks;
    bool tagged;
  } cases[] = {
      {"in order", {one, two}, true},
      {"out of order", {two, one}, true},
      {"one missing", {one}, false},
      {"repeated", {one, one, two}, false},
      {"counts disagree", {one, iccChunk(2, 3, b)}, false},
      {"numbered zero", {iccChunk(0, 1, icc)}, false},
  };
  for (const auto& c : cases) {
    QList<QByteArrayView> views(c.chunks.begin(), c.chunks.end());
    const ColourProfile profile = jpegColourProfile(views);
    EXPECT_EQ(profile.isTagged(), c.tagged) << c.what;
    if (c.tagged) {
      EXPECT_EQ(profile.key(), icc) << c.what;
    }
  }
}

// A profile lcms cannot read, one that is no RGB profile and sRGB itself all leave the pixels as
// they are, and none of them fails the picture.
TEST(ColourProfiles, BrokenForeignAndSrgbProfilesLeaveThePixels) {
  QByteArray broken = test::displayP3Profile();
  broken.replace(36, 4, "xxxx");  // the profile's 'acsp' signature
  const QByteArray gray = [] {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
    const QByteArray icc = test::savedIccProfile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return icc;
  }();
  const QByteArray srgb = test::savedIccProfile(cmsCreate_sRGBProfile());
  const QImage picture = patches();
  const QByteArray jpeg = test::jpegOf(picture, false, 95);
  const QImage untagged = decodeUpright(jpeg, QSize(), PreviewUse::Refused, nullptr);
  for (const QByteArray& icc : {broken, gray, srgb, QByteArray("garbage")}) {
    const ColourProfile profile = ColourProfile::fromIcc(icc);
    EXPECT_FALSE(changesColours(profile));
    EXPECT_EQ(convertedToSrgb(picture, profile), picture);
    EXPECT_EQ(decodeUpright(test::withIccProfile(jpeg, icc), QSize(), PreviewUse::Refused, nullptr),
              untagged);
  }
  EXPECT_TRUE(changesColours(ColourProfile::fromIcc(test::displayP3Profile())));
}

int sampleThrough(const cmsUInt16Number in[], cmsUInt16Number out[], void* transform) {
  cmsDoTransform(static_cast<cmsHTRANSFORM>(transform), in, out, 1);
  return 1;
}

// An RGB profile made of a look-up table (A2B0, to Lab) sampled from `icc`: the kind some cameras
// embed, which the tables-and-matrix shortcut cannot read, so lcms2 converts it.
QByteArray lookUpTableProfile(const QByteArray& icc) {
  const Profile source(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
  const Profile lab(cmsCreateLab4Profile(nullptr));
  cmsHTRANSFORM toLab =
      cmsCreateTransform(source.get(), TYPE_RGB_16, lab.get(), TYPE_LabV2_16, INTENT_PERCEPTUAL, 0);
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 2.1);  // written as lut16Type, whose Lab is the version 2 encoding
  cmsSetDeviceClass(profile, cmsSigInputClass);
  cmsSetColorSpace(profile, cmsSigRgbData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsPipeline* table = cmsPipelineAlloc(nullptr, 3, 3);
  cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 33, 3, 3, nullptr);
  cmsStageSampleCLut16bit(grid, sampleThrough, toLab, 0);
  cmsPipelineInsertStage(table, cmsAT_END, grid);
  cmsWriteTag(profile, cmsSigAToB0Tag, table);
  cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsPipelineFree(table);
  cmsDeleteTransform(toLab);
  return test::savedIccProfile(profile);
}

TEST(ColourProfiles, ALookUpTableProfileConvertsThroughLcms) {
  const QByteArray p3 = test::displayP3Profile();
  const ColourProfile table = ColourProfile::fromIcc(lookUpTableProfile(p3));
  ASSERT_TRUE(changesColours(table));
  for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGBA8888_Premultiplied}) {
    const QImage converted = convertedToSrgb(patches().convertToFormat(format), table);
    EXPECT_LE(
        worstPatch(converted.convertToFormat(QImage::Format_RGB32), [&](QRgb c) { return lcmsSrgb(p3, c); }),
        2.0);
  }
}

}  // namespace
}  // namespace pimrose
