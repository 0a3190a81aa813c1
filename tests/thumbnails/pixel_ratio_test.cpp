#include <QImage>

#include <gtest/gtest.h>

#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "thumbnails/load_thumbnail.h"

namespace pimrose {
namespace {

// On a dense screen the thumbnail has ratio times the pixels and says so, while the icon width
// and the item height the list lays out with stay in layout pixels; a ratio below 1 is no reason
// to make a blurrier thumbnail than the layout needs.
TEST(PixelRatioTest, ThumbnailsCarryDevicePixelsAndKeepTheLayoutHeight) {
  struct Case {
    const char* name;
    QByteArray bytes;
    double ratio;
    QSize devicePixels;
    double carried;
  };
  const QImage landscape = test::detailedPicture(600, 400, 7);
  const QByteArray jpeg = test::jpegOf(landscape);
  const Case cases[] = {
      {"a.jpg", jpeg, 1.0, {150, 100}, 1.0},
      {"b.jpg", jpeg, 2.0, {300, 200}, 2.0},
      {"c.jpg", jpeg, 1.5, {225, 150}, 1.5},
      {"d.png", test::pngOf(landscape), 2.0, {300, 200}, 2.0},
      {"e.jpg", test::withExif(jpeg, 6), 2.0, {300, 450}, 2.0},  // upright 400x600
      {"f.jpg", jpeg, 0.5, {150, 100}, 1.0},
  };
  test::Sandbox box;
  for (const Case& c : cases) {
    const QString path = box.write(QString::fromLatin1(c.name), c.bytes);
    const LoadedThumbnail thumb = loadThumbnail(path, 150, false, c.ratio);
    ASSERT_FALSE(thumb.image.isNull()) << c.name << thumb.error.toStdString();
    EXPECT_EQ(thumb.image.size(), c.devicePixels) << c.name;
    EXPECT_DOUBLE_EQ(thumb.image.devicePixelRatio(), c.carried) << c.name;
    EXPECT_EQ(thumb.height, c.devicePixels.height() / c.carried) << c.name;
    EXPECT_EQ(thumb.image.deviceIndependentSize().toSize().width(), 150) << c.name;
  }
}

}  // namespace
}  // namespace pimrose
