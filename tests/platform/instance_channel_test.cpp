#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/boot_clock.h"
#include "platform/instance_channel.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// Each test gets its own runtime folder so it never meets a real running instance.
class InstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", sandbox_.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", previous_); }

  test::Sandbox sandbox_;
  QByteArray previous_;
};

TEST_F(InstanceChannelTest, FirstInstanceClaimsAndSecondAsksItToShow) {
  auto first = makeLocalInstanceChannel();
  int showRequests = 0;
  QObject::connect(first.get(), &InstanceChannel::showRequested, [&] { ++showRequests; });
  ASSERT_FALSE(first->isAnotherInstance(QStringLiteral("Pimrose")));

  // The second start blocks while it waits for the answer, so it runs on its own thread.
  bool secondSawAnother = false;
  std::unique_ptr<InstanceChannel> second;
  QThread* asker = QThread::create([&] {
    second = makeLocalInstanceChannel();
    secondSawAnother = second->isAnotherInstance(QStringLiteral("Pimrose"));
  });
  asker->start();
  ASSERT_TRUE(test::waitFor([&] { return asker->isFinished(); }));
  delete asker;
  EXPECT_TRUE(secondSawAnother);
  EXPECT_TRUE(test::waitFor([&] { return showRequests == 1; }));
}

TEST_F(InstanceChannelTest, StaleSocketOfACrashedInstanceDoesNotBlock) {
  // A socket file with nobody listening is what a crash leaves behind.
  sandbox_.write(QStringLiteral("Pimrose"), "not a socket");
  auto channel = makeLocalInstanceChannel();
  EXPECT_FALSE(channel->isAnotherInstance(QStringLiteral("Pimrose")));
}

TEST_F(InstanceChannelTest, ALockFileLeftBehindDoesNotHoldUpTheStart) {
  // What a crashed start, or an earlier version's lock holding its owner's details, leaves behind;
  // the lock is the kernel's, taken on the file, and went with the process that held it.
  sandbox_.write(QStringLiteral("Pimrose.lock"), "4242\npimrose\nsomehost\n");
  auto channel = makeLocalInstanceChannel();
  EXPECT_FALSE(channel->isAnotherInstance(QStringLiteral("Pimrose")));
}

TEST_F(InstanceChannelTest, ReleasedNameCanBeClaimedAgain) {
  auto first = makeLocalInstanceChannel();
  ASSERT_FALSE(first->isAnotherInstance(QStringLiteral("Pimrose")));
  first->release();
  auto next = makeLocalInstanceChannel();
  EXPECT_FALSE(next->isAnotherInstance(QStringLiteral("Pimrose")));
}

// The instance a restart replaces holds the name until it lets go; the new one waits for that.
TEST_F(InstanceChannelTest, WaitForReleaseReturnsOnceTheOldInstanceLetsGo) {
  const QString path = QDir(sandbox_.path()).filePath(QStringLiteral("Pimrose"));
  bool heardPoll = false;
  // The old instance, on its own thread: it lets go only after the new one has looked at least once.
  QThread* old = QThread::create([&] {
    QLocalServer server;
    if (!server.listen(path)) return;
    heardPoll = server.waitForNewConnection(5000);
    server.close();
  });
  old->start();
  ASSERT_TRUE(test::waitFor([&] { return QFileInfo::exists(path); }));

  auto next = makeLocalInstanceChannel();
  EXPECT_TRUE(next->waitForRelease(QStringLiteral("Pimrose"), 5000));
  old->wait();
  delete old;
  EXPECT_TRUE(heardPoll);
  EXPECT_FALSE(next->isAnotherInstance(QStringLiteral("Pimrose")));
}

TEST_F(InstanceChannelTest, WaitForReleaseGivesUpOnAHolderThatStays) {
  auto first = makeLocalInstanceChannel();
  int showRequests = 0;
  QObject::connect(first.get(), &InstanceChannel::showRequested, [&] { ++showRequests; });
  ASSERT_FALSE(first->isAnotherInstance(QStringLiteral("Pimrose")));
  auto next = makeLocalInstanceChannel();
  EXPECT_FALSE(next->waitForRelease(QStringLiteral("Pimrose"), 100));
  QCoreApplication::processEvents();
  EXPECT_EQ(showRequests, 0);  // looking is not asking the holder to show itself
  EXPECT_TRUE(next->waitForRelease(QStringLiteral("Free"), 100));
}

// Ten starts at the same moment, each a process of its own: exactly one claims the name, the nine
// others hand over to it (each show request answered) and end by themselves.
TEST_F(InstanceChannelTest, TenSimultaneousStartsLeaveExactlyOneFirstInstance) {
  constexpr int kStarts = 10;
  const QString go = sandbox_.filePath(QStringLiteral("go"));
  std::vector<std::unique_ptr<QProcess>> starts;
  for (int i = 0; i < kStarts; ++i) {
    auto& start = starts.emplace_back(std::make_unique<QProcess>());
    start->start(QStringLiteral(PIMROSE_INSTANCE_CLAIMER), {go});
  }
  // Every claimer is up and waiting before any of them may ask.
  for (auto& start : starts)
    ASSERT_TRUE(test::waitFor([&] { return start->canReadLine(); }, 30000))
        << start->errorString().toStdString();
  for (auto& start : starts) ASSERT_EQ(start->readLine(), "ready\n");
  sandbox_.write(QStringLiteral("go"));

  QProcess* first = nullptr;
  int handedOver = 0;
  ASSERT_TRUE(test::waitFor(
      [&] {
        first = nullptr, handedOver = 0;
        for (auto& start : starts) {
          if (start->state() == QProcess::NotRunning)
            handedOver += start->exitStatus() == QProcess::NormalExit && start->exitCode() == 0;
          else if (start->peek(6) == "first\n")
            first = start.get();
        }
        return first && handedOver == kStarts - 1;
      },
      60000));
  for (auto& start : starts) {
    if (start.get() == first) continue;
    EXPECT_EQ(start->readAll(), "handed over\n");
  }
  // The first instance heard every later start, once each.
  EXPECT_TRUE(test::waitFor([&] { return first->peek(4096).endsWith("shown 9\n"); }, 10000))
      << first->peek(4096).toStdString();
  first->closeWriteChannel();
  ASSERT_TRUE(test::waitFor([&] { return first->state() == QProcess::NotRunning; }));
  EXPECT_EQ(first->exitCode(), 0);
  EXPECT_EQ(first->readAll(),
            "first\nshown 1\nshown 2\nshown 3\nshown 4\nshown 5\nshown 6\nshown 7\nshown 8\nshown 9\n");
}

// The socket is the user's alone, and letting go of the name takes it away.
TEST_F(InstanceChannelTest, TheClaimedSocketIsPrivateAndGoesWithTheRelease) {
  const QString path = QDir(sandbox_.path()).filePath(QStringLiteral("Pimrose"));
  auto channel = makeLocalInstanceChannel();
  ASSERT_FALSE(channel->isAnotherInstance(QStringLiteral("Pimrose")));
  ASSERT_TRUE(QFileInfo::exists(path));
  EXPECT_EQ(QFileInfo(path).permissions() &
                (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
  channel->release();
  EXPECT_FALSE(QFileInfo::exists(path));
}

// Whatever else connects is no reason to show the window: lines that are not the request are
// ignored, a flood without an end of line is cut off, and a request in pieces still counts.
TEST_F(InstanceChannelTest, OnlyAWholeRequestIsAnsweredAndAFloodingPeerIsLetGo) {
  auto channel = makeLocalInstanceChannel();
  int showRequests = 0;
  QObject::connect(channel.get(), &InstanceChannel::showRequested, [&] { ++showRequests; });
  ASSERT_FALSE(channel->isAnotherInstance(QStringLiteral("Pimrose")));
  const QString path = QDir(sandbox_.path()).filePath(QStringLiteral("Pimrose"));

  QLocalSocket flood;
  flood.connectToServer(path);
  ASSERT_TRUE(flood.waitForConnected(1000));
  flood.write(QByteArray(4096, 'x'));
  flood.flush();
  EXPECT_TRUE(test::waitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }));

  QLocalSocket peer;
  peer.connectToServer(path);
  ASSERT_TRUE(peer.waitForConnected(1000));
  peer.write("hello\nsh");
  peer.flush();
  ASSERT_TRUE(test::waitFor([&] { return peer.bytesToWrite() == 0; }));
  peer.write("ow\n");
  peer.flush();
  ASSERT_TRUE(test::waitFor([&] { return peer.canReadLine(); }));
  EXPECT_EQ(peer.readLine(), "ok\n");
  EXPECT_EQ(showRequests, 1);
}

TEST(BootClockTest, CountsMillisecondsSinceBootAndMovesForward) {
  const BootClock clock = systemBootClock();
  const auto first = clock();
  QThread::msleep(20);
  const auto later = clock();
  EXPECT_GT(first, 0u);
  EXPECT_GE(later - first, 15u);
}

}  // namespace
}  // namespace pimrose
