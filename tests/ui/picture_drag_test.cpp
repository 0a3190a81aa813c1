#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <memory>

#include "support/sandbox.h"
#include "text/file_names.h"
#include "ui/icon_list_model.h"
#include "ui/picture_drag_data.h"

namespace pimrose::ui {
namespace {

TEST(PictureDragTest, UriListCarriesTheExactNameBytes) {
  const struct {
    QByteArray name;
    QByteArray uri;
  } cases[] = {
      {"/p/a.jpg", "file:///p/a.jpg\r\n"},          {"/p/two words.png", "file:///p/two%20words.png\r\n"},
      {"/p/#1?.gif", "file:///p/%231%3F.gif\r\n"},  {"/p/\xe6\x98\xa5.jpg", "file:///p/%E6%98%A5.jpg\r\n"},
      {"/p/x\xffy.jpg", "file:///p/x%FFy.jpg\r\n"},  // not UTF-8: the byte itself travels
  };
  for (const auto& c : cases) EXPECT_EQ(fileUriList({decodeFileName(c.name)}), c.uri) << c.name.toStdString();
  EXPECT_EQ(fileUriList({"/a.jpg", "", "/b.jpg"}), QByteArray("file:///a.jpg\r\nfile:///b.jpg\r\n"));
}

TEST(PictureDragTest, PictureIsOfferedAsPngAndAMissingOneAsNothing) {
  test::Sandbox box;
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::red);
  const QString path = box.filePath(QStringLiteral("red.jpg"));
  ASSERT_TRUE(picture.save(path, "JPG"));

  PictureDragData data({path});
  EXPECT_TRUE(data.hasFormat(QStringLiteral("image/png")));
  EXPECT_TRUE(data.hasFormat(QStringLiteral("text/uri-list")));
  EXPECT_TRUE(data.hasFormat(PictureDragData::kOwnDragType));
  QByteArray png = data.data(QStringLiteral("image/png"));
  QBuffer buffer(&png);
  QImageReader reader(&buffer, "PNG");
  EXPECT_EQ(reader.read().size(), QSize(40, 30));

  PictureDragData missing({box.filePath(QStringLiteral("gone.jpg"))});
  EXPECT_TRUE(missing.data(QStringLiteral("image/png")).isEmpty());
  EXPECT_FALSE(missing.data(QStringLiteral("text/uri-list")).isEmpty());
}

TEST(PictureDragTest, OnlyItemsWithAPathCanBeDragged) {
  IconListModel model;
  model.resetItems(QStringList{"/p/a.jpg", "/p/b.jpg"});
  model.insertItems(1);  // an item without a path
  EXPECT_TRUE(model.flags(model.index(0)) & Qt::ItemIsDragEnabled);
  EXPECT_FALSE(model.flags(model.index(2)) & Qt::ItemIsDragEnabled);
  EXPECT_EQ(model.mimeData({model.index(2)}), nullptr);

  std::unique_ptr<QMimeData> mime(model.mimeData({model.index(1), model.index(2)}));
  ASSERT_NE(mime, nullptr);
  EXPECT_EQ(mime->data(QStringLiteral("text/uri-list")), QByteArray("file:///p/b.jpg\r\n"));
  EXPECT_EQ(model.supportedDragActions(), Qt::CopyAction);
}

}  // namespace
}  // namespace pimrose::ui
