// HEIC, AVIF and JPEG XL files made at test time by Debian's own encoders: measured from their
// headers, turned upright once, thumbnailed (from an embedded thumbnail where one covers the size),
// shown whole, and refused calmly when damaged.
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <QTransform>

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include "codecs/decode_picture.h"
#include "codecs/file_reading.h"
#include "codecs/heif_decode.h"
#include "codecs/orientation.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_header.h"
#include "codecs/picture_size.h"
#include "support/debian_tools.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

using test::Sandbox;

// Red, green, blue and white quadrants tell every turn and mirror apart.
QImage upright() {
  return test::quadrants(300, 200);
}

QString pngSource(const Sandbox& box, const QImage& image,
                  const QString& name = QStringLiteral("source.png")) {
  return box.write(name, test::pngOf(image));
}

// A JPEG stored as the picture is, whose EXIF orientation 6 says to turn it a quarter clockwise.
QString exifTurnedJpeg(const Sandbox& box) {
  return box.write(QStringLiteral("exif6.jpg"), test::withExif(test::jpegOf(upright(), false, 95), 6));
}

QString made(const Sandbox& box, const QString& program, QStringList arguments, const QString& out) {
  arguments.replaceInStrings(QStringLiteral("OUT"), box.filePath(out));
  return test::runTool(program, arguments) ? box.filePath(out) : QString();
}

struct HeifFreer {
  void operator()(heif_context* c) const { heif_context_free(c); }
  void operator()(heif_encoder* e) const { heif_encoder_release(e); }
  void operator()(heif_image* i) const { heif_image_release(i); }
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
  void operator()(heif_encoding_options* o) const { heif_encoding_options_free(o); }
};
template <typename T>
using HeifOwned = std::unique_ptr<T, HeifFreer>;

// A HEIC whose pixels lie on their side and whose irot box turns them upright, encoded by Debian's
// libheif with its x265 encoder (heif-enc itself never writes an irot box), with an embedded
// thumbnail that carries the same turn when asked for.
QString irotHeic(const Sandbox& box, bool thumbnail) {
  const QImage stored =
      upright().transformed(QTransform().rotate(-90)).convertToFormat(QImage::Format_RGB888);
  const HeifOwned<heif_context> context(heif_context_alloc());
  heif_encoder* rawEncoder = nullptr;
  if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code) return {};
  const HeifOwned<heif_encoder> encoder(rawEncoder);
  heif_encoder_set_lossy_quality(encoder.get(), 90);
  heif_image* rawImage = nullptr;
  heif_image_create(stored.width(), stored.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                    &rawImage);
  const HeifOwned<heif_image> image(rawImage);
  heif_image_add_plane(rawImage, heif_channel_interleaved, stored.width(), stored.height(), 8);
  int stride = 0;
  uint8_t* rows = heif_image_get_plane(rawImage, heif_channel_interleaved, &stride);
  for (int y = 0; y < stored.height(); ++y)
    std::memcpy(rows + y * stride, stored.constScanLine(y), size_t(stored.width()) * 3);
  const HeifOwned<heif_encoding_options> options(heif_encoding_options_alloc());
  options->image_orientation = heif_orientation_rotate_90_cw;
  heif_image_handle* rawHandle = nullptr;
  if (heif_context_encode_image(context.get(), rawImage, encoder.get(), options.get(), &rawHandle).code)
    return {};
  const HeifOwned<heif_image_handle> handle(rawHandle);
  if (thumbnail && heif_context_encode_thumbnail(context.get(), rawImage, rawHandle, encoder.get(),
                                                 options.get(), 96, nullptr)
                       .code)
    return {};
  const QString path = box.filePath(QStringLiteral("irot.heic"));
  return heif_context_write_to_file(context.get(), path.toUtf8().constData()).code ? QString() : path;
}

struct Made {
  const char* name;
  std::vector<std::pair<const char*, const char*>> tools;
  std::function<QString(const Sandbox&)> make;
  QImage shows;
  PictureFormat format = PictureFormat::Heif;
};

const auto kHeifEnc = std::pair{"heif-enc", "libheif-examples"};
const auto kAvifEnc = std::pair{"avifenc", "libavif-bin"};
const auto kCjxl = std::pair{"cjxl", "libjxl-tools"};

std::vector<Made> madeFiles() {
  const QString out = QStringLiteral("OUT");
  return {
      {"heic",
       {kHeifEnc},
       [=](const Sandbox& box) {
         return made(box, "heif-enc", {"-q", "90", pngSource(box, upright()), "-o", out}, "p.heic");
       },
       upright()},
      {"heic_with_thumbnail",
       {kHeifEnc},
       [=](const Sandbox& box) {
         return made(box, "heif-enc", {"-q", "90", "-t", "96", pngSource(box, upright()), "-o", out},
                     "t.heic");
       },
       upright()},
      // The EXIF block heif-enc copies from a turned JPEG says 6, but only irot turns a HEIF.
      {"heic_exif_orientation_not_applied",
       {kHeifEnc},
       [=](const Sandbox& box) {
         return made(box, "heif-enc", {"-q", "90", exifTurnedJpeg(box), "-o", out}, "e.heic");
       },
       upright()},
      {"heic_irot", {}, [](const Sandbox& box) { return irotHeic(box, false); }, upright()},
      {"heic_irot_with_thumbnail", {}, [](const Sandbox& box) { return irotHeic(box, true); }, upright()},
      {"avif",
       {kAvifEnc},
       [=](const Sandbox& box) {
         return made(box, "avifenc", {pngSource(box, upright()), out}, "p.avif");
       },
       upright()},
      // Stored a quarter clockwise; irot 1 turns it a quarter anticlockwise.
      {"avif_irot",
       {kAvifEnc},
       [=](const Sandbox& box) {
         const QImage stored = upright().transformed(QTransform().rotate(90));
         return made(box, "avifenc", {"--irot", "1", pngSource(box, stored), out}, "r.avif");
       },
       upright()},
      {"jxl",
       {kCjxl},
       [=](const Sandbox& box) {
         return made(box, "cjxl", {pngSource(box, upright()), out}, "p.jxl");
       },
       upright(),
       PictureFormat::Jxl},
      // cjxl moves the JPEG's EXIF orientation into the codestream: shown turned, once.
      {"jxl_from_turned_jpeg",
       {kCjxl},
       [=](const Sandbox& box) {
         return made(box, "cjxl", {exifTurnedJpeg(box), out}, "e.jxl");
       },
       applyOrientation(upright(), 6),
       PictureFormat::Jxl},
  };
}

// Each quadrant's middle within a lossy codec's reach of the expected colour.
bool looksLike(const QImage& image, const QImage& expected) {
  if (image.isNull()) return false;
  for (const double fy : {0.25, 0.75})
    for (const double fx : {0.25, 0.75}) {
      const QRgb a = image.pixel(int(fx * image.width()), int(fy * image.height()));
      const QRgb b = expected.pixel(int(fx * expected.width()), int(fy * expected.height()));
      if (std::abs(qRed(a) - qRed(b)) > 48 || std::abs(qGreen(a) - qGreen(b)) > 48 ||
          std::abs(qBlue(a) - qBlue(b)) > 48)
        return false;
    }
  return true;
}

QString missing(const Made& made) {
  for (const auto& tool : made.tools)
    if (const QString message = test::missingTool({tool}); !message.isEmpty()) return message;
  return {};
}

void PrintTo(const Made& made, std::ostream* out) {
  *out << made.name;
}

class ModernFormats : public ::testing::TestWithParam<Made> {};

TEST_P(ModernFormats, MeasuredFromTheHeaderShownUprightOnceAndRefusedCalmlyWhenDamaged) {
  const Made& made = GetParam();
  if (const QString why = missing(made); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  Sandbox box;
  const QString path = made.make(box);
  ASSERT_FALSE(path.isEmpty()) << "the encoder failed";
  QString error;
  const QByteArray bytes = readFileBytes(path, &error);
  const QSize shown = made.shows.size();

  const std::optional<PictureHeader> header = readPictureHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->format, made.format);
  EXPECT_EQ(header->upright(), shown);
  EXPECT_EQ(pictureSize(path), shown);

  const QSize icon = shown / 3;
  const QImage thumbnail = thumbnailImage(bytes, icon, PreviewUse::Refused, &error);
  EXPECT_EQ(thumbnail.size(), icon) << error.toStdString();
  EXPECT_TRUE(looksLike(thumbnail, made.shows));

  const QImage whole = decodePicture(path, &error);
  EXPECT_EQ(whole.size(), shown) << error.toStdString();
  EXPECT_TRUE(looksLike(whole, made.shows));

  QByteArray scrambled = bytes;
  for (qsizetype k = 40; k < scrambled.size(); k += 5) scrambled[k] = char(scrambled[k] ^ 0x5A);
  for (const QByteArray& damaged : {bytes.left(bytes.size() / 2), bytes.left(24), scrambled}) {
    error.clear();
    const QImage image = decodeUpright(damaged, icon, PreviewUse::Refused, &error);
    EXPECT_TRUE(image.isNull() ? !error.isEmpty() : !image.size().isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(DebianEncoders, ModernFormats, ::testing::ValuesIn(madeFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

// The embedded thumbnail serves a size it covers; a larger size comes from the picture itself.
TEST(HeifThumbnails, TheEmbeddedThumbnailServesOnlySizesItCovers) {
  if (const QString why = test::missingTool({kHeifEnc}); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  Sandbox box;
  const QString path =
      made(box, "heif-enc", {"-q", "90", "-t", "96", pngSource(box, upright()), "-o", "OUT"}, "t.heic");
  const QByteArray bytes = readFileBytes(path);
  const struct {
    QSize asked, decoded;
  } cases[] = {{{90, 60}, {96, 64}}, {{96, 64}, {96, 64}}, {{120, 80}, {150, 100}}, {{}, {300, 200}}};
  for (const auto& c : cases) {
    QString error;
    const TaggedPicture picture = decodeHeif(bytes, c.asked, &error);
    EXPECT_EQ(picture.image.size(), c.decoded) << c.asked.width() << " " << error.toStdString();
    EXPECT_TRUE(looksLike(picture.image, upright()));
  }
}

// A meta box after 100 KB of other boxes lies beyond the first read: the size is found by walking
// the top-level boxes, not by reading the whole file.
TEST(HeifMeasuring, AMetaBoxBeyondTheFirstReadIsFoundByWalkingTheBoxes) {
  if (const QString why = test::missingTool({kHeifEnc}); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
  Sandbox box;
  const QByteArray heic =
      readFileBytes(made(box, "heif-enc", {"-q", "50", pngSource(box, upright()), "-o", "OUT"}, "p.heic"));
  ASSERT_GT(heic.size(), 32);
  const qsizetype ftyp = qsizetype(quint8(heic[2])) << 8 | quint8(heic[3]);  // its size, under 64 KiB
  QByteArray filler(100'000, '\0');
  filler.replace(0, 8,
                 QByteArray("\0\x01\x86\xA0"
                            "free",
                            8));  // a box of 100,000 bytes
  const QString path = box.write(QStringLiteral("late-meta.heic"), heic.left(ftyp) + filler + heic.mid(ftyp));
  EXPECT_EQ(pictureSize(path), QSize(300, 200));
  EXPECT_EQ(pictureSize(box.write(QStringLiteral("cut.heic"), heic.left(ftyp + 40))), QSize(0, 0));
}

// A 48 x 32 picture whose grid claims a 24950 x 12337 canvas (found by the fuzzer) is refused
// before libheif allocates it.
TEST(HeifLimits, AGridClaimingMoreThanItsPictureIsRefused) {
  const QByteArray bytes = readFileBytes(
      test::sourceDir() +
      QStringLiteral("/fuzz/regressions/heif_decode/oom-ba533005ec9b2d51bce4d66b175ab1025c2dd100"));
  ASSERT_FALSE(bytes.isEmpty());
  QString error;
  EXPECT_TRUE(decodeHeif(bytes, QSize(), &error).image.isNull());
  EXPECT_TRUE(error.contains(QLatin1String("exceeds the maximum image size"))) << error.toStdString();
}

}  // namespace
}  // namespace pimrose
