#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "codecs/file_reading.h"
#include "codecs/frame_source.h"
#include "codecs/gif_frames.h"
#include "support/debian_tools.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

const QVector<QColor> kPalette = {Qt::red, Qt::green, Qt::blue, Qt::white};

std::unique_ptr<FrameSource> framesOf(const QByteArray& gif) {
  return openGifFrames([gif](qint64 offset, qint64 count) { return gif.mid(offset, count); });
}

// Every pixel as a letter: r g b w for the palette, . for clear, ? for anything else.
QString letters(const QImage& image) {
  QString out;
  for (int y = 0; y < image.height(); ++y) {
    if (y > 0) out += u'|';
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const qsizetype at = kPalette.indexOf(QColor(p));
      out += qAlpha(p) == 0 ? u'.' : qAlpha(p) == 255 && at >= 0 ? QChar(u"rgbw"[at]) : u'?';
    }
  }
  return out;
}

// The canvas after every frame of one pass.
QStringList pass(FrameSource& source) {
  QStringList canvases;
  while (const std::optional<SourceFrame> frame = source.next()) canvases << letters(frame->image);
  return canvases;
}

struct DisposalCase {
  const char* what;
  QVector<test::GifFrame> frames;
  QStringList canvases;
};

class GifComposition : public ::testing::TestWithParam<DisposalCase> {};

// A 4 x 2 screen: frames draw on it as browsers draw them.
TEST_P(GifComposition, DrawsEachFrameOverWhatTheLastOneLeft) {
  const DisposalCase& c = GetParam();
  const std::unique_ptr<FrameSource> source = framesOf(test::gifOf(QSize(4, 2), kPalette, c.frames));
  ASSERT_TRUE(source);
  EXPECT_EQ(pass(*source), c.canvases) << c.what;
  ASSERT_TRUE(source->rewind());
  EXPECT_EQ(pass(*source), c.canvases) << c.what << ", second pass";
}

// Red everywhere; then green over the middle two top pixels, the second of them transparent
// (index 3 is the frame's transparent one); then blue at the bottom left.
test::GifFrame allRed(int disposal) {
  return {QRect(0, 0, 4, 2), QVector<quint8>(8, 0), false, -1, disposal};
}
test::GifFrame greenPatch(int disposal) {
  return {QRect(1, 0, 2, 1), {1, 3}, false, 3, disposal};
}
const test::GifFrame kBlueDot{QRect(0, 1, 1, 1), {2}};

INSTANTIATE_TEST_SUITE_P(
    Cases, GifComposition,
    ::testing::Values(DisposalCase{"kept (1): the patch stays under the dot",
                                   {allRed(1), greenPatch(1), kBlueDot},
                                   {"rrrr|rrrr", "rgrr|rrrr", "rgrr|brrr"}},
                      DisposalCase{"unspecified (0) keeps as 1 does",
                                   {allRed(0), greenPatch(0), kBlueDot},
                                   {"rrrr|rrrr", "rgrr|rrrr", "rgrr|brrr"}},
                      DisposalCase{
                          "cleared (2): the patch's whole area goes clear, its transparent pixel too",
                          {allRed(1), greenPatch(2), kBlueDot},
                          {"rrrr|rrrr", "rgrr|rrrr", "r..r|brrr"}},
                      DisposalCase{"restored (3): the patch's area gets the red back",
                                   {allRed(1), greenPatch(3), kBlueDot},
                                   {"rrrr|rrrr", "rgrr|rrrr", "rrrr|brrr"}},
                      DisposalCase{"a first frame cleared leaves a clear canvas",
                                   {allRed(2), greenPatch(1), kBlueDot},
                                   {"rrrr|rrrr", ".g..|....", ".g..|b..."}},
                      DisposalCase{"a first frame restored gives back the clear canvas",
                                   {allRed(3), greenPatch(1), kBlueDot},
                                   {"rrrr|rrrr", ".g..|....", ".g..|b..."}},
                      DisposalCase{"a method past 3 keeps",
                                   {allRed(1), greenPatch(5), kBlueDot},
                                   {"rrrr|rrrr", "rgrr|rrrr", "rgrr|brrr"}},
                      DisposalCase{"a frame reaching past the canvas is cut to it",
                                   {allRed(1), {QRect(3, 1, 2, 2), {2, 2, 2, 2}}},
                                   {"rrrr|rrrr", "rrrr|rrrb"}}));

// The repeat count of the loop extension: none plays once, 0 for ever, n plays n + 1 times.
TEST(GifFrames, PassesAndDelaysAsTheFileSays) {
  const QVector<test::GifFrame> frames = {{QRect(0, 0, 1, 1), {0}, false, -1, 0, 0},
                                          {QRect(0, 0, 1, 1), {1}, false, -1, 0, 1},
                                          {QRect(0, 0, 1, 1), {2}, false, -1, 0, 250}};
  const struct {
    std::optional<int> loops;
    int plays;
  } cases[] = {{std::nullopt, 1}, {0, 0}, {1, 2}, {4, 5}, {65535, 65536}};
  for (const auto& c : cases) {
    const std::unique_ptr<FrameSource> source = framesOf(test::gifOf(QSize(1, 1), kPalette, frames, c.loops));
    ASSERT_TRUE(source);
    std::vector<int> delays;
    while (const std::optional<SourceFrame> frame = source->next()) delays.push_back(frame->delayMs);
    EXPECT_EQ(delays, (std::vector<int>{0, 10, 2500}));
    EXPECT_EQ(source->plays(), c.plays) << c.loops.value_or(-1);
  }
}

// Damage ends a pass where it starts; the frames before it play again on the next pass.
TEST(GifFrames, DamagedDataEndsThePassWhereItStarts) {
  QVector<test::GifFrame> frames;
  for (int i = 0; i < 3; ++i) frames.append({QRect(0, 0, 64, 64), QVector<quint8>(64 * 64, quint8(i))});
  const QByteArray whole = test::gifOf(QSize(64, 64), kPalette, frames, 0);
  const std::unique_ptr<FrameSource> cut = framesOf(whole.left(whole.size() - 40));
  ASSERT_TRUE(cut);
  EXPECT_EQ(pass(*cut).size(), 2);
  ASSERT_TRUE(cut->rewind());
  EXPECT_EQ(pass(*cut).size(), 2);
  EXPECT_FALSE(framesOf(QByteArray("GIF89a", 6)) && framesOf(QByteArray("GIF89a", 6))->next());
  EXPECT_FALSE(framesOf(QByteArray("not a picture")));
}

QVector<quint8> noise(int count, quint32 seed) {
  QVector<quint8> indices(count);
  for (quint8& index : indices) index = quint8((seed = seed * 1664525u + 1013904223u) >> 30);
  return indices;
}

// Read from the file in pieces: frames that straddle them come out whole, pass after pass.
TEST(GifFrames, StreamsALargeFileFromDisk) {
  const QSize size(400, 300);
  QVector<test::GifFrame> frames;
  for (quint32 i = 0; i < 3; ++i) frames.append({QRect(QPoint(0, 0), size), noise(400 * 300, i + 1)});
  const QByteArray gif = test::gifOf(size, kPalette, frames, 0);
  ASSERT_GT(gif.size(), 64 * 1024);  // frames straddle the pieces it is read in
  test::Sandbox sandbox;
  const std::unique_ptr<FrameSource> source =
      openFrameSource(sandbox.write(QStringLiteral("noise.gif"), gif));
  ASSERT_TRUE(source);
  for (int round = 0; round < 2; ++round) {
    for (const test::GifFrame& expected : frames) {
      const std::optional<SourceFrame> frame = source->next();
      ASSERT_TRUE(frame);
      ASSERT_EQ(frame->image.size(), size);
      for (int at : {0, 4321, 400 * 300 - 1})
        EXPECT_EQ(frame->image.pixel(at % 400, at / 400), kPalette[expected.indices[at]].rgb());
    }
    EXPECT_FALSE(source->next());
    ASSERT_TRUE(source->rewind());
  }
}

TEST(MovingPictures, TellsMovingFromStill) {
  const test::GifFrame dot{QRect(0, 0, 1, 1), {0}};
  const struct {
    const char* what;
    QByteArray bytes;
    bool moving;
  } cases[] = {
      {"one frame", test::gifOf(QSize(1, 1), kPalette, {dot}), false},
      {"two frames", test::gifOf(QSize(1, 1), kPalette, {dot, dot}), true},
      {"a canvas past the limit of moving pictures", test::gifOf(QSize(6000, 5000), kPalette, {dot, dot}),
       false},
      {"a JPEG", test::jpegOf(test::quadrants(8, 8)), false},
      {"nothing", QByteArray(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(isMovingPicture(c.bytes), c.moving) << c.what;
  const std::unique_ptr<FrameSource> huge = framesOf(cases[2].bytes);
  ASSERT_TRUE(huge);
  EXPECT_FALSE(huge->next()) << "no canvas past the limit is made";
}

// Frames of a WebP made by Debian's img2webp: red for 70 ms, then blue for 120 ms, twice in all.
TEST(MovingPictures, AnimatedWebpThroughQtsPlugin) {
  if (const QString missing = test::missingTool({{"img2webp", "webp"}}); !missing.isEmpty())
    GTEST_SKIP() << missing.toStdString();
  test::Sandbox sandbox;
  QImage red(40, 30, QImage::Format_RGB32), blue(40, 30, QImage::Format_RGB32);
  red.fill(Qt::red);
  blue.fill(Qt::blue);
  const QString a = sandbox.write(QStringLiteral("a.png"), test::pngOf(red));
  const QString b = sandbox.write(QStringLiteral("b.png"), test::pngOf(blue));
  const QString moving = sandbox.filePath(QStringLiteral("moving.webp"));
  const QString still = sandbox.filePath(QStringLiteral("still.webp"));
  ASSERT_TRUE(test::runTool(QStringLiteral("img2webp"),
                            {"-loop", "2", "-lossless", "-d", "70", a, "-d", "120", b, "-o", moving}));
  ASSERT_TRUE(test::runTool(QStringLiteral("img2webp"), {"-lossless", a, "-o", still}));
  EXPECT_TRUE(isMovingPicture(readFileBytes(moving)));
  EXPECT_FALSE(isMovingPicture(readFileBytes(still)));
  EXPECT_FALSE(openFrameSource(still));

  const std::unique_ptr<FrameSource> source = openFrameSource(moving);
  ASSERT_TRUE(source);
  for (int round = 0; round < 2; ++round) {
    std::vector<std::pair<QRgb, int>> frames;
    while (const std::optional<SourceFrame> frame = source->next())
      frames.emplace_back(frame->image.pixel(20, 15), frame->delayMs);
    EXPECT_EQ(frames, (std::vector<std::pair<QRgb, int>>{{qRgb(255, 0, 0), 70}, {qRgb(0, 0, 255), 120}}));
    EXPECT_EQ(source->plays(), 2);
    ASSERT_TRUE(source->rewind());
  }
}

}  // namespace
}  // namespace pimrose
