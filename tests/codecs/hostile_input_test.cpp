#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

#include "codecs/box_reducer.h"
#include "codecs/decode_limits.h"
#include "codecs/exif.h"
#include "codecs/file_reading.h"
#include "codecs/jpeg_decode.h"
#include "codecs/jpeg_header.h"
#include "codecs/orientation.h"
#include "codecs/picture_operations.h"
#include "codecs/picture_size.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

void appendNumber(QByteArray& out, quint32 value, int bytes, bool big) {
  for (int i = 0; i < bytes; ++i) {
    const int shift = big ? 8 * (bytes - 1 - i) : 8 * i;
    out.append(char((value >> shift) & 0xFF));
  }
}

struct Entry {
  quint16 tag;
  quint32 value;
};

// A TIFF block as EXIF carries it: `magic`, IFD0 at `ifd0` holding `entries` (type LONG, except
// the orientation which is SHORT), then the next-IFD offset `next`. `count` overrides the stored
// number of entries.
QByteArray tiffBlock(QByteArrayView magic, const QList<Entry>& entries, quint32 next = 0, quint32 ifd0 = 8,
                     int count = -1) {
  const bool big = magic.startsWith("MM");
  QByteArray out(magic.data(), magic.size());
  appendNumber(out, ifd0, 4, big);
  appendNumber(out, quint32(count < 0 ? entries.size() : count), 2, big);
  for (const Entry& e : entries) {
    appendNumber(out, e.tag, 2, big);
    appendNumber(out, e.tag == 0x0112 ? 3 : 4, 2, big);
    appendNumber(out, 1, 4, big);
    if (e.tag == 0x0112) {
      appendNumber(out, e.value, 2, big);
      appendNumber(out, 0, 2, big);
    } else {
      appendNumber(out, e.value, 4, big);
    }
  }
  appendNumber(out, next, 4, big);
  return out;
}

const QByteArray kMotorola("MM\0*", 4);
const QByteArray kIntel("II*\0", 4);
const QByteArray kTinyJpeg("\xFF\xD8\xFF\xD9", 4);

// IFD0 with an orientation, then IFD1 naming a preview at `offset` of `length` bytes.
QByteArray withPreview(quint32 offset, quint32 length, bool appendPreview) {
  const quint32 ifd1 = 8 + 2 + 12 + 4;
  QByteArray block = tiffBlock(kIntel, {{0x0112, 6}}, ifd1);
  block += tiffBlock(kIntel, {{0x0201, offset}, {0x0202, length}}).mid(8);
  if (appendPreview) block += kTinyJpeg;
  return block;
}

TEST(DamagedExif, GivesTheDefaultsOrWhatIsSoundlyInside) {
  const quint32 previewAt = 8 + 2 + 12 + 4 + 2 + 2 * 12 + 4;
  const struct {
    const char* name;
    QByteArray block;
    int orientation;
    bool preview;
  } cases[] = {
      {"big-endian", tiffBlock(kMotorola, {{0x0112, 6}}), 6, false},
      {"little-endian", tiffBlock(kIntel, {{0x0112, 3}}), 3, false},
      {"MM without the rest of its magic", tiffBlock(QByteArray("MM\x01\x02", 4), {{0x0112, 6}}), 1, false},
      {"MM with a zero but no star", tiffBlock(QByteArray("MM\0\0", 4), {{0x0112, 6}}), 1, false},
      {"II with a wrong last byte", tiffBlock(QByteArray("II*\x01", 4), {{0x0112, 6}}), 1, false},
      {"no magic", tiffBlock(QByteArray("XX*\0", 4), {{0x0112, 6}}), 1, false},
      {"shorter than a header", QByteArray("MM\0*\0\0", 6), 1, false},
      {"IFD0 past the end", tiffBlock(kIntel, {{0x0112, 6}}, 0, 4000), 1, false},
      {"IFD0 at offset zero", tiffBlock(kIntel, {{0x0112, 6}}, 0, 0), 1, false},
      {"0xFFFF entries", tiffBlock(kIntel, {{0x0112, 6}}, 0, 8, 0xFFFF), 1, false},
      {"count past the end keeps the entries inside", tiffBlock(kIntel, {{0x0112, 8}}, 0, 8, 40), 8, false},
      {"orientation out of range", tiffBlock(kIntel, {{0x0112, 9}}), 1, false},
      {"orientation zero", tiffBlock(kIntel, {{0x0112, 0}}), 1, false},
      {"sound preview", withPreview(previewAt, 4, true), 6, true},
      {"preview offset + length overflow", withPreview(0xFFFFFFF0u, 0x20, true), 6, false},
      {"preview length past the end", withPreview(previewAt, 400, true), 6, false},
      {"preview offset past the end", withPreview(90000, 4, true), 6, false},
      {"preview that is no JPEG", withPreview(8, 4, true), 6, false},
      {"IFD1 pointing back at IFD0", tiffBlock(kIntel, {{0x0112, 5}}, 8), 5, false},
      {"IFD1 past the end", tiffBlock(kIntel, {{0x0112, 5}}, 0xFFFFFFFFu), 5, false},
  };
  for (const auto& c : cases) {
    const ExifFacts facts = parseExif(c.block);
    EXPECT_EQ(facts.orientation, c.orientation) << c.name;
    EXPECT_EQ(!facts.preview.isEmpty(), c.preview) << c.name;
    if (!facts.preview.isEmpty()) {
      EXPECT_GE(facts.preview.data(), c.block.constData()) << c.name;
      EXPECT_LE(facts.preview.data() + facts.preview.size(), c.block.constData() + c.block.size()) << c.name;
    }
  }
}

QByteArray segment(quint8 marker, const QByteArray& payload, int lengthOverride = -1) {
  QByteArray out;
  out.append(char(0xFF)).append(char(marker));
  appendNumber(out, quint32(lengthOverride < 0 ? payload.size() + 2 : lengthOverride), 2, true);
  return out + payload;
}

QByteArray frame(quint16 width, quint16 height) {
  QByteArray payload(1, char(8));
  appendNumber(payload, height, 2, true);
  appendNumber(payload, width, 2, true);
  payload.append(char(1)).append("\x01\x11\x00", 3);
  return segment(0xC0, payload);
}

const QByteArray kSoi("\xFF\xD8", 2);
const QByteArray kApp0 = segment(0xE0, QByteArray("JFIF\0\1\1\0\0\1\0\1\0\0", 14));

// Two metadata blocks of 60,000 bytes each: the frame header lies beyond the first 64 KiB.
QByteArray bigMetadata() {
  return segment(0xE2, QByteArray(60000, 'm')) + segment(0xED, QByteArray(60000, 'n'));
}

QByteArray exifSegment(int orientation) {
  return segment(0xE1, QByteArray("Exif\0\0", 6) + tiffBlock(kMotorola, {{0x0112, quint32(orientation)}}));
}

struct MarkerCase {
  const char* name;
  QByteArray afterStart;  // everything after the start marker (and the big metadata in the file case)
  QSize upright;          // empty: not measurable
};

const MarkerCase kMarkerCases[] = {
    {"plain", kApp0 + frame(640, 480), {640, 480}},
    {"fill bytes before markers",
     QByteArray("\xFF\xFF\xFF", 3) + kApp0.mid(1) + "\xFF\xFF" + frame(64, 48).mid(1),
     {64, 48}},
    {"EXIF turns it", exifSegment(6) + frame(640, 480), {480, 640}},
    {"restart marker without length", QByteArray("\xFF\xD0", 2) + frame(10, 20), {10, 20}},
    {"segment length 0", segment(0xE0, {}, 0) + frame(640, 480), {}},
    {"segment length 1", segment(0xE0, {}, 1) + frame(640, 480), {}},
    {"segment length past the end", segment(0xE0, QByteArray(10, 'x'), 0xFFFF), {}},
    // Stray bytes where a marker belongs are passed over, as libjpeg passes over them.
    {"stray bytes where a marker belongs", kApp0 + "garbage" + frame(640, 480), {640, 480}},
    {"a stuffed zero where a marker belongs",
     kApp0 + QByteArray("\xFF\x00", 2) + frame(640, 480),
     {640, 480}},
    {"end before the frame", QByteArray("\xFF\xD9", 2) + frame(640, 480), {}},
    {"scan before the frame", segment(0xDA, QByteArray(8, '\0')) + frame(640, 480), {}},
    {"frame header cut short", segment(0xC0, QByteArray(3, '\x08')), {}},
    {"zero width", frame(0, 480), {}},
    {"frame cut off", frame(640, 480).left(6), {}},
    {"nothing after the start", {}, {}},
};

TEST(DamagedJpegMarkers, HeaderInMemoryIsReadOrRefused) {
  for (const MarkerCase& c : kMarkerCases) {
    const std::optional<JpegHeader> header = readJpegHeader(kSoi + c.afterStart);
    const QSize upright = header ? uprightSize(header->storedSize, header->exif.orientation) : QSize();
    EXPECT_EQ(upright, c.upright) << c.name;
  }
}

// The same cases from files whose frame header lies past the first read: the file walker skips
// from marker to marker and must answer exactly as the walk over the whole file does.
TEST(DamagedJpegMarkers, HeaderBeyondTheFirstReadIsFoundByWalkingTheFile) {
  test::Sandbox sandbox;
  int n = 0;
  for (const MarkerCase& c : kMarkerCases) {
    const QString path =
        sandbox.write(QStringLiteral("m%1.jpg").arg(n++), kSoi + bigMetadata() + c.afterStart);
    const QSize expected = c.upright.isEmpty() ? QSize(0, 0) : c.upright;
    EXPECT_EQ(pictureSize(path), expected) << c.name;
  }
  const QString exifAfterMetadata =
      sandbox.write(QStringLiteral("late-exif.jpg"), kSoi + bigMetadata() + exifSegment(8) + frame(30, 20));
  EXPECT_EQ(pictureSize(exifAfterMetadata), QSize(20, 30));
}

// A file of `size` bytes that starts with `start`, the rest a hole that takes no disk.
QString sparseFile(const test::Sandbox& sandbox, const QString& name, const QByteArray& start, qint64 size) {
  const QString path = sandbox.write(name, start);
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) || ::ftruncate(file.handle(), size) != 0) return {};
  return path;
}

TEST(BoundedReading, HugeFilesNamedLikePicturesAreRefusedWithoutBeingRead) {
  test::Sandbox sandbox;
  constexpr qint64 kFiveGigabytes = 5LL * 1024 * 1024 * 1024;
  const QByteArray jpeg = test::jpegOf(test::quadrants(40, 30));
  const QString zeros = sparseFile(sandbox, QStringLiteral("zeros.jpg"), {}, kFiveGigabytes);
  const QString headed = sparseFile(sandbox, QStringLiteral("headed.jpg"), jpeg, kFiveGigabytes);
  const QString justOver = sparseFile(sandbox, QStringLiteral("over.jpg"), jpeg, kMaxPictureFileBytes + 1);
  ASSERT_FALSE(zeros.isEmpty());
  ASSERT_FALSE(headed.isEmpty());
  ASSERT_FALSE(justOver.isEmpty());

  EXPECT_EQ(pictureSize(zeros), QSize(0, 0));
  EXPECT_EQ(pictureSize(headed), QSize(40, 30));  // the header alone is read
  for (const QString& path : {zeros, headed, justOver}) {
    QString error;
    EXPECT_TRUE(readFileBytes(path, &error).isEmpty()) << path.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("too large"))) << error.toStdString();
    EXPECT_TRUE(ReadWholeFile(path).isEmpty());
  }
  EXPECT_EQ(ImageWidth(headed.toUtf8()), 40);
  EXPECT_EQ(readFileBytes(sandbox.write(QStringLiteral("small.jpg"), jpeg)), jpeg);
}

TEST(BoundedReading, AFileThatShrinksOrGrowsWhileReadIsNoticed) {
  test::Sandbox sandbox;
  const QString path = sandbox.write(QStringLiteral("moving.jpg"), QByteArray(1000, 'a'));
  std::optional<OpenedFile> file = OpenedFile::open(path);
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->unchanged());
  ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 400), 0);
  EXPECT_EQ(file->readAt(0, file->size()).size(), 400);  // short, never past the end
  EXPECT_FALSE(file->unchanged());
  ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 5000), 0);
  EXPECT_FALSE(file->unchanged());
  EXPECT_TRUE(file->readAt(2000, 10).isEmpty());  // beyond the size it was opened with
}

TEST(BoundedReading, MakeThumbnailSizesStayBoundedWithTheirProportions) {
  const QByteArray png = test::pngOf(test::quadrants(30, 20));
  const struct {
    int width, height;
    QSize exact;  // empty: reduced, so only the bounds and proportions are checked
  } cases[] = {
      {0, 0, {30, 20}},
      {7, 0, {7, 20}},
      {150, 1'500'000, {}},
      {100'000, 1, {}},
  };
  for (const auto& c : cases) {
    const QImage thumbnail = QImage::fromData(MakeThumbnail(png, c.width, c.height), "PNG");
    ASSERT_FALSE(thumbnail.isNull()) << c.width << "x" << c.height;
    if (!c.exact.isEmpty()) {
      EXPECT_EQ(thumbnail.size(), c.exact);
      continue;
    }
    EXPECT_LE(qint64(thumbnail.width()) * thumbnail.height(), 16'000'000) << c.width << "x" << c.height;
    EXPECT_LE(std::max(thumbnail.width(), thumbnail.height()), 65535);
    // Proportions kept to within the truncation of the shorter side.
    const double asked = double(c.width) / c.height, made = double(thumbnail.width()) / thumbnail.height();
    EXPECT_NEAR(made / asked, 1.0, 1.0 / std::min(thumbnail.width(), thumbnail.height()) + 1e-3);
  }
  // Area alone (made above only at great cost): 25 million pixels come down to 16 million.
  const QSize square = boundedThumbnailSize(QSize(5000, 5000));
  EXPECT_LE(qint64(square.width()) * square.height(), kMaxThumbnailPixels);
  EXPECT_GE(square.width(), 3999);
  EXPECT_EQ(square.width(), square.height());
}

// `jpeg` with its frame header claiming another size.
QByteArray claimingSize(QByteArray jpeg, int width, int height) {
  for (qsizetype at = 2; at + 9 < jpeg.size(); ++at) {
    const quint8 marker = quint8(jpeg[at + 1]);
    if (quint8(jpeg[at]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
      jpeg[at + 5] = char(height >> 8);
      jpeg[at + 6] = char(height & 0xFF);
      jpeg[at + 7] = char(width >> 8);
      jpeg[at + 8] = char(width & 0xFF);
      break;
    }
  }
  return jpeg;
}

// A picture sent in several scans needs all its coefficients in memory at once: a few hundred
// bytes claiming tens of thousands of pixels a side must be refused before the decoder allocates.
TEST(BoundedDecoding, PicturesInSeveralScansAreRefusedBeyondTheCoefficientLimit) {
  const QImage picture = test::quadrants(64, 48);
  const struct {
    const char* name;
    QByteArray jpeg;
    bool multiScan, refused;
  } cases[] = {
      {"progressive, small", test::jpegOf(picture, true), true, false},
      {"progressive, 12000 x 12000", claimingSize(test::jpegOf(picture, true), 12000, 12000), true, true},
      {"progressive, 8000 x 6000", claimingSize(test::jpegOf(picture, true), 8000, 6000), true, false},
      {"baseline, 12000 x 12000", claimingSize(test::jpegOf(picture), 12000, 12000), false, false},
  };
  for (const auto& c : cases) {
    const std::optional<JpegHeader> header = readJpegHeader(c.jpeg);
    ASSERT_TRUE(header) << c.name;
    EXPECT_EQ(header->multiScan, c.multiScan) << c.name;
    EXPECT_EQ(exceedsCoefficientLimit(*header), c.refused) << c.name;
    QString error;
    const QImage thumbnail = decodeJpeg(c.jpeg, QSize(24, 24), &error);
    EXPECT_EQ(error.contains(QLatin1String("several scans")), c.refused) << c.name << error.toStdString();
    if (c.refused) {
      EXPECT_TRUE(thumbnail.isNull()) << c.name;
      EXPECT_TRUE(decodeJpegFirstScans(c.jpeg).isNull()) << c.name;
    }
  }
}

// A header walk that stops before the first scan cannot tell one scan from several, while libjpeg
// reads on past the damage: such a picture counts as sent in several scans.
TEST(BoundedDecoding, AFrameWithoutAReadableScanCountsAsSeveralScans) {
  const QByteArray jpeg = claimingSize(test::jpegOf(test::quadrants(64, 48)), 12000, 12000);
  const qsizetype scan = jpeg.indexOf("\xFF\xDA");
  ASSERT_GT(scan, 0);
  const QByteArray damaged = jpeg.left(scan) + QByteArray("\xFF\xE5\xFF\xF0", 4) + jpeg.mid(scan);
  const std::optional<JpegHeader> header = readJpegHeader(damaged);
  ASSERT_TRUE(header);
  EXPECT_TRUE(header->multiScan);
  EXPECT_TRUE(exceedsCoefficientLimit(*header));
  EXPECT_FALSE(readJpegHeader(jpeg)->multiScan);
}

// Clear rows only counted must give the very picture that adding rows of zeros gives.
TEST(BoundedDecoding, ClearRowsReduceLikeTransparentOnes) {
  const int width = 7, height = 23;
  for (const int factor : {1, 3, 5, 23}) {
    BoxReducer counted(width, height, factor), added(width, height, factor);
    const std::vector<uchar> clear(width * 4, 0), red = [] {
      std::vector<uchar> row;
      for (int x = 0; x < width; ++x) row.insert(row.end(), {255, 0, 0, uchar(30 * x)});
      return row;
    }();
    for (int y = 0; y < height; ++y) {
      const bool painted = y % 4 == 1;
      painted ? counted.addRow(red.data()) : counted.addClearRow();
      added.addRow(painted ? red.data() : clear.data());
    }
    EXPECT_EQ(counted.result(), added.result()) << factor;
  }
}

}  // namespace
}  // namespace pimrose
