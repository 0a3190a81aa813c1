#include <QBuffer>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include "shell/ico_image.h"
#include "shell/tray_icon.h"

namespace pimrose {
namespace {

void put16(QByteArray& bytes, quint16 value) {
  char raw[2];
  qToLittleEndian(value, raw);
  bytes.append(raw, 2);
}
void put32(QByteArray& bytes, quint32 value) {
  char raw[4];
  qToLittleEndian(value, raw);
  bytes.append(raw, 4);
}

// A bottom-up device-independent bitmap of the given depth, with its AND mask; the top-left pixel
// is red and masked out, every other pixel green.
QByteArray bitmap(int side, int bits) {
  QByteArray dib;
  for (quint32 field : {40u, quint32(side), quint32(2 * side)}) put32(dib, field);
  put16(dib, 1);
  put16(dib, quint16(bits));
  for (int i = 0; i < 6; ++i) put32(dib, 0);
  if (bits == 8) {
    put32(dib, 0x0000ff00);  // palette 0: green
    put32(dib, 0x00ff0000);  // palette 1: red
    dib.append(254 * 4, '\0');
  }
  const int stride = ((side * bits + 31) / 32) * 4;
  for (int row = 0; row < side; ++row) {
    QByteArray line(stride, '\0');
    for (int x = 0; x < side; ++x) {
      const bool topLeft = row == side - 1 && x == 0;
      if (bits == 8) {
        line[x] = topLeft ? 1 : 0;
        continue;
      }
      const int at = x * bits / 8;
      line[at + 1] = topLeft ? 0 : char(0xff);  // green channel
      line[at + 2] = topLeft ? char(0xff) : 0;  // red channel
      if (bits == 32) line[at + 3] = char(0xff);
    }
    dib.append(line);
  }
  const int maskStride = ((side + 31) / 32) * 4;
  for (int row = 0; row < side; ++row) {
    QByteArray line(maskStride, '\0');
    if (row == side - 1) line[0] = char(0x80);
    dib.append(line);
  }
  return dib;
}

QByteArray icoOf(const QList<QByteArray>& images, int side) {
  QByteArray ico;
  put16(ico, 0);
  put16(ico, 1);
  put16(ico, quint16(images.size()));
  quint32 offset = quint32(6 + 16 * images.size());
  for (const QByteArray& image : images) {
    ico.append(char(side)).append(char(side)).append('\0').append('\0');
    put16(ico, 1);
    put16(ico, 32);
    put32(ico, quint32(image.size()));
    put32(ico, offset);
    offset += quint32(image.size());
  }
  for (const QByteArray& image : images) ico.append(image);
  return ico;
}

QByteArray programIco() {
  QFile file(QStringLiteral(":/pimrose/tray.ico"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(IcoImage, DecodesTheProgramsOwnIcon) {
  int width = -1, height = -1;
  const QIcon icon = TrayIcon::iconFromIcoBytes(programIco(), 0, &width, &height);
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(width, 128);
  EXPECT_EQ(height, 128);
  const QImage image = decodeIcoImage(icoEntryAt(programIco(), 0)->imageBytes);
  EXPECT_EQ(image.size(), QSize(128, 128));
  EXPECT_TRUE(image.hasAlphaChannel());
}

TEST(IcoImage, DecodesEachBitmapDepthTheRightWayUp) {
  for (int bits : {32, 24, 8}) {
    SCOPED_TRACE(bits);
    const QImage image = decodeIcoImage(bitmap(4, bits));
    ASSERT_EQ(image.size(), QSize(4, 4));
    EXPECT_EQ(image.pixel(1, 0), qRgba(0, 255, 0, 255));
    EXPECT_EQ(image.pixel(3, 3), qRgba(0, 255, 0, 255));
    // 32-bit images carry their own alpha; the others take transparency from the mask.
    EXPECT_EQ(image.pixel(0, 0), bits == 32 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 0, 0));
  }
}

TEST(IcoImage, PicksTheEntryByIndexAndReadsPngImages) {
  QImage png(16, 16, QImage::Format_ARGB32);
  png.fill(Qt::blue);
  QByteArray pngBytes;
  {
    QBuffer buffer(&pngBytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
  }
  const QByteArray ico = icoOf({bitmap(4, 32), pngBytes}, 16);
  const QImage second = decodeIcoImage(icoEntryAt(ico, 1)->imageBytes);
  EXPECT_EQ(second.size(), QSize(16, 16));
  EXPECT_EQ(second.pixel(5, 5), QColor(Qt::blue).rgba());
}

TEST(IcoImage, KeepsAStoredZeroSize) {
  int width = -1, height = -1;
  EXPECT_FALSE(TrayIcon::iconFromIcoBytes(icoOf({bitmap(4, 32)}, 0), 0, &width, &height).isNull());
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

// Each case damages a good one-image file; the reader must refuse it without reading past the end.
TEST(IcoImage, RefusesIndexesEntriesAndImagesPastTheEnd) {
  const QByteArray good = icoOf({bitmap(4, 32)}, 4);
  struct Case {
    const char* what;
    QByteArray bytes;
    int index;
  };
  auto patched = [&](int at, quint32 value) {
    QByteArray bytes = good;
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
  };
  const Case cases[] = {
      {"empty", QByteArray(), 0},
      {"header cut short", good.left(5), 0},
      {"not an icon (cursor type)", patched(2, 2 | (1u << 16)), 0},
      {"index past the count", good, 1},
      {"negative index", good, -1},
      {"count larger than the entries present", patched(4, 3 | (4u << 16) | (4u << 24)).left(22 + 16), 2},
      {"entry cut short", good.left(15), 0},
      {"image offset past the end", patched(18, quint32(good.size()) + 1), 0},
      {"image size past the end", patched(14, quint32(good.size())), 0},
      {"offset plus size wraps around", patched(18, 0xfffffff0u), 0},
      {"image size zero", patched(14, 0), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(icoEntryAt(c.bytes, c.index).has_value());
    EXPECT_TRUE(TrayIcon::iconFromIcoBytes(c.bytes, c.index).isNull());
  }
}

TEST(IcoImage, RefusesDamagedBitmaps) {
  const QByteArray good = bitmap(4, 24);
  auto patched = [&](int at, quint32 value) {
    QByteArray bytes = good;
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
  };
  const std::pair<const char*, QByteArray> cases[] = {
      {"header only", good.left(40)},
      {"pixels cut short", good.left(good.size() - 20)},
      {"zero width", patched(4, 0)},
      {"negative height", patched(8, quint32(-8))},
      {"huge width", patched(4, 0x7fffffff)},
      {"compressed", patched(16, 1)},
      {"unknown depth", patched(14, 5)},
      {"neither bitmap nor png", QByteArray("GIF89a....................................................")},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    EXPECT_TRUE(decodeIcoImage(bytes).isNull());
  }
}

}  // namespace
}  // namespace pimrose
