#include <gtest/gtest.h>

#include "support/loading_signal_recorder.h"
#include "support/picture_factory.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "thumbnails/load_thumbnail.h"
#include "thumbnails/stored_icon.h"
#include "thumbnails/thumbnail_loader.h"

namespace pimrose {
namespace {

// Every pixel different, so a shifted row or a swapped channel shows.
QImage gradient(QSize size, QImage::Format format, int alpha = 255) {
  QImage image(size, format);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      image.setPixelColor(x, y, QColor(x * 3 % 256, y * 5 % 256, (x + y) % 256, alpha));
  return image;
}

QImage asArgb(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(StoredIcon, KeepsThePictureInTheSmallestFormatThatHoldsIt) {
  struct Case {
    const char* what;
    QImage thumbnail;
    QImage::Format stored;
    double ratio;
  };
  const Case cases[] = {
      {"opaque", gradient({150, 112}, QImage::Format_RGB32), QImage::Format_RGB888, 1.0},
      {"odd width (row padding)", gradient({151, 37}, QImage::Format_RGB32), QImage::Format_RGB888, 1.0},
      {"half transparent", gradient({64, 48}, QImage::Format_ARGB32, 128),
       QImage::Format_ARGB32_Premultiplied, 1.0},
      {"palette", gradient({40, 30}, QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8),
       QImage::Format_RGB888, 1.0},
      {"dense screen", gradient({300, 224}, QImage::Format_RGB32), QImage::Format_RGB888, 2.0},
  };
  for (Case c : cases) {
    c.thumbnail.setDevicePixelRatio(c.ratio);
    const QImage icon = storedIcon(c.thumbnail);
    EXPECT_EQ(icon.format(), c.stored) << c.what;
    EXPECT_EQ(icon.size(), c.thumbnail.size()) << c.what;
    EXPECT_EQ(icon.devicePixelRatio(), c.ratio) << c.what;
    EXPECT_EQ(asArgb(icon), asArgb(c.thumbnail)) << c.what;
  }
  EXPECT_TRUE(storedIcon(QImage()).isNull());
}

// The pages belong to the image's shared data: a copy outlives the original, and they go with the
// last copy (ASan and the kernel catch a page handed back too early).
TEST(StoredIcon, PixelsLiveAsLongAsAnyCopy) {
  const QImage picture = gradient({120, 90}, QImage::Format_RGB32);
  QImage survivor;
  {
    QImage icon = storedIcon(picture);
    survivor = icon;
    icon = QImage();
  }
  EXPECT_EQ(asArgb(survivor), asArgb(picture));
  QImage edited = survivor;
  edited.setPixelColor(0, 0, Qt::black);  // writing detaches into a copy of its own
  EXPECT_EQ(asArgb(survivor), asArgb(picture));
}

TEST(StoredIcon, TheLoaderDeliversTheIconInItsStoredFormAndTheSamePicture) {
  test::Sandbox sandbox;
  const QString path =
      sandbox.write(QStringLiteral("p.jpg"), test::jpegOf(gradient({800, 600}, QImage::Format_RGB32)));
  ThumbnailLoader loader;
  test::SignalRecorder<ThumbnailDelivery> ready(&loader, &ThumbnailLoader::thumbnailReady);
  loader.setIconSize(270);
  loader.setList(ListId::Files, {path}, 1);
  loader.loadIcon(ListId::Files, 0);
  ASSERT_TRUE(test::waitFor([&] { return ready.size() == 1; }));
  const QImage icon = ready.at(0).image;
  const QImage made = loadThumbnail(path, 270, false).image;
  ASSERT_FALSE(made.isNull());
  EXPECT_EQ(icon.format(), QImage::Format_RGB888);
  EXPECT_EQ(icon.size(), QSize(270, 202));
  EXPECT_EQ(asArgb(icon), asArgb(made));
  EXPECT_EQ(loader.heldIconBytes(ListId::Files), icon.sizeInBytes());
}

}  // namespace
}  // namespace pimrose
