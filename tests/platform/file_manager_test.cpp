#include <QDBusConnection>

#include <gtest/gtest.h>

#include "file_manager_stand_in.h"
#include "platform/file_manager.h"
#include "private_bus.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

TEST(FolderOfItemTest, KeepsTheFolderWithItsTrailingSlash) {
  const struct {
    const char* item;
    const char* folder;
  } cases[] = {{"file:///home/me/a.jpg", "file:///home/me/"},
               {"file:///a%20b/c%23d.jpg", "file:///a%20b/"},
               {"file:///x/%FF.jpg", "file:///x/"},
               {"file:///top.jpg", "file:///"}};
  for (const auto& c : cases)
    EXPECT_EQ(folderOfItem(QUrl::fromEncoded(c.item)).toEncoded(), QByteArray(c.folder)) << c.item;
}

class PrivateBusTest : public test::PrivateBusTest {
 protected:
  std::unique_ptr<FileManager> fileManager(int timeoutMs = 5000) {
    auto manager = makeDesktopFileManager(
        client_,
        [this](const QUrl& folder) {
          opened_.append(folder);
          return true;
        },
        timeoutMs);
    QObject::connect(manager.get(), &FileManager::handled,
                     [this](bool fellBack) { results_.append(fellBack); });
    return manager;
  }

  QList<QUrl> opened_;
  QList<bool> results_;
};

TEST_F(PrivateBusTest, NoFileManagerOnTheBusOpensTheFolder) {
  ASSERT_TRUE(client_.isConnected());
  auto manager = fileManager();
  manager->showItems({QStringLiteral("file:///pics/a.jpg")}, QStringLiteral("id-1"));
  ASSERT_TRUE(test::waitFor([&] { return !results_.isEmpty(); }));
  EXPECT_EQ(results_, QList<bool>{true});
  EXPECT_EQ(opened_, QList<QUrl>{QUrl(QStringLiteral("file:///pics/"))});
}

TEST_F(PrivateBusTest, FileManagerOnTheBusGetsTheItemsAndTheStartupId) {
  QDBusConnection service = connect(QStringLiteral("service"));
  test::FileManagerStandIn standIn;
  ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &standIn,
                                     QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

  auto manager = fileManager();
  manager->showItems({QStringLiteral("file:///pics/a%20b.jpg")}, QStringLiteral("pimrose-1-box-ShowItems-1"));
  ASSERT_TRUE(test::waitFor([&] { return !results_.isEmpty(); }));
  EXPECT_EQ(results_, QList<bool>{false});
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_EQ(standIn.shown, QList<QStringList>{QStringList{QStringLiteral("file:///pics/a%20b.jpg")}});
  EXPECT_EQ(standIn.startupIds, QStringList{QStringLiteral("pimrose-1-box-ShowItems-1")});
}

TEST(FileManagerTest, WithoutABusTheFolderOpensAtOnce) {
  QList<QUrl> opened;
  auto manager =
      makeDesktopFileManager(QDBusConnection(QStringLiteral("never connected")), [&](const QUrl& folder) {
        opened.append(folder);
        return true;
      });
  manager->showItems({QStringLiteral("file:///pics/a.jpg")}, QString());
  manager->showItems({}, QString());  // nothing to show: nothing opens
  EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("file:///pics/"))});
}

}  // namespace
}  // namespace pimrose
