#include <gtest/gtest.h>

#include "codecs/file_reading.h"
#include "codecs/probe_counts.h"
#include "support/heic_factory.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/cached_thumbnail.h"

// One thumbnail is one task on one thread: the counts it leaves behind say how often it looked at
// its picture.
namespace pimrose {

// Found by the test macros through the type's own namespace.
static bool operator==(const ProbeCounts& a, const ProbeCounts& b) {
  return a.opens == b.opens && a.sniffs == b.sniffs && a.headerParses == b.headerParses &&
         a.wholeReads == b.wholeReads;
}

static void PrintTo(const ProbeCounts& c, std::ostream* out) {
  *out << "{opens " << c.opens << ", sniffs " << c.sniffs << ", header parses " << c.headerParses
       << ", whole reads " << c.wholeReads << "}";
}

namespace {

// The counts of `work` on this thread, a provisional result's final stage included.
template <typename Work>
ProbeCounts countsOf(Work work) {
  threadProbeCounts() = {};
  LoadedThumbnail loaded = work();
  EXPECT_FALSE(loaded.image.isNull()) << loaded.error.toStdString();
  if (loaded.makeFinal) {
    EXPECT_FALSE(loaded.makeFinal().image.isNull());
  }
  return threadProbeCounts();
}

QByteArray camera() {
  return test::withExif(test::jpegOf(test::detailedPicture(640, 480, 7)), 6,
                        test::jpegOf(test::detailedPicture(160, 120, 8)));
}

// Small HEIF, JPEG XL and PNG files kept with the fuzz seeds (made by heif-enc, avifenc and cjxl).
QByteArray seed(const char* relative) {
  return readFileBytes(test::sourceDir() + QStringLiteral("/fuzz/seeds/") + QLatin1String(relative));
}

TEST(ProbeOnce, AThumbnailOpensSniffsParsesAndReadsItsPictureOnce) {
  const struct {
    const char* what;
    QByteArray bytes;
    bool fastLoading;
    EarlyPreview early;
    ProbeCounts counts;
    const char* name = "picture.jpg";
  } cases[] = {
      {"a JPEG", test::jpegOf(test::detailedPicture(640, 480, 1)), false, EarlyPreview::No, {1, 1, 1, 1}},
      {"a progressive JPEG",
       test::jpegOf(test::detailedPicture(640, 480, 2), true),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1}},
      {"a PNG", test::pngOf(test::detailedPicture(480, 320, 3)), false, EarlyPreview::No, {1, 1, 1, 1}},
      {"a GIF",
       test::gifOf({300, 200}, {Qt::red, Qt::blue}, {{QRect(0, 0, 300, 200), QVector<quint8>(60000, 1)}}),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1}},
      // The preview is a picture of its own: its header is the second parse, once for both stages.
      {"a camera JPEG, its preview first", camera(), false, EarlyPreview::Yes, {1, 1, 2, 1}},
      {"a camera JPEG with fast loading: the preview alone", camera(), true, EarlyPreview::No, {1, 1, 2, 0}},
      // The colour profile comes with the header (APP2 pieces, PNG chunks) and takes no look of its own.
      {"a JPEG tagged Display P3",
       test::withIccProfile(test::jpegOf(test::detailedPicture(640, 480, 5)), test::displayP3Profile()),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1}},
      {"a PNG tagged Display P3",
       seed("colour_profile/display_p3.png"),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1}},
      {"a HEIC tagged Display P3",
       seed("heif_decode/display_p3.heic"),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1},
       "picture.heic"},
      {"an AVIF", seed("heif_decode/plain.avif"), false, EarlyPreview::No, {1, 1, 1, 1}, "picture.avif"},
      // Its thumbnail (100 x 75, under the icon) is read alone, beside the boxes the header came from.
      {"a HEIC, its embedded thumbnail first",
       test::heicWithThumbnail(test::detailedPicture(400, 300, 9), test::detailedPicture(200, 150, 9), 100),
       false,
       EarlyPreview::Yes,
       {1, 1, 1, 1},
       "picture.heic"},
      {"a JPEG XL tagged Display P3",
       seed("jxl_decode/lossless_display_p3.jxl"),
       false,
       EarlyPreview::No,
       {1, 1, 1, 1},
       "picture.jxl"},
  };
  test::Sandbox sandbox;
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.isEmpty()) << c.what;
    const QString path = sandbox.write(QLatin1String(c.name), c.bytes);
    EXPECT_EQ(countsOf([&] { return loadThumbnail(path, 150, c.fastLoading, 1.0, c.early); }), c.counts)
        << c.what;
  }
}

TEST(ProbeOnce, TheCacheReadsTheEntryBeforeThePictureAndThePictureOnlyWhenNoEntryServes) {
  test::Sandbox sandbox;
  const ThumbnailCache cache(sandbox.filePath(QStringLiteral("cache/thumbnails")));
  sandbox.makeFolder(QStringLiteral("cache"));
  const QString path =
      sandbox.write(QStringLiteral("p.jpg"), test::jpegOf(test::detailedPicture(640, 480, 4)));
  const auto load = [&] { return loadThumbnailCached(path, 150, false, cache); };
  EXPECT_EQ(countsOf(load), (ProbeCounts{1, 1, 1, 1})) << "no entry yet: the picture once";
  // The entry records the picture's size: the picture is not opened, and only the entry is parsed.
  EXPECT_EQ(countsOf(load), (ProbeCounts{1, 0, 1, 0})) << "an entry serves";
}

}  // namespace
}  // namespace pimrose
