#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "file_manager_stand_in.h"
#include "platform/file_manager.h"
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

// A bus daemon of our own, so the test meets neither the user's file manager nor a missing bus.
class PrivateBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    daemon_.start(
        daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(daemon_.waitForStarted());
    ASSERT_TRUE(test::waitFor([&] { return daemon_.canReadLine(); }));
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    client_ = connect(QStringLiteral("client"));
  }
  void TearDown() override {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();  // the bus daemon this test started
    daemon_.waitForFinished();
  }

  QDBusConnection connect(const QString& name) {
    const QString unique = name + QString::number(reinterpret_cast<quintptr>(this));
    names_.append(unique);
    return QDBusConnection::connectToBus(address_, unique);
  }

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

  QProcess daemon_;
  QString address_;
  QStringList names_;
  QDBusConnection client_{QString()};
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
