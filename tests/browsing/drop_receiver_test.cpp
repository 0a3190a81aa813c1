#include <QDropEvent>
#include <QMimeData>
#include <QObject>

#include <gtest/gtest.h>

#include "browsing/drop_queue.h"
#include "browsing/drop_receiver.h"
#include "support/wait_for.h"
#include "text/file_names.h"

namespace pimrose {
namespace {

// Sends a drop of a raw uri-list to the window, as the platform would; answers whether it was taken.
bool dropOn(QObject& window, const QByteArray& uriList, QEvent::Type type = QEvent::Drop) {
  QMimeData mime;
  mime.setData(QStringLiteral("text/uri-list"), uriList);
  QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier, type);
  event.setAccepted(false);
  QCoreApplication::sendEvent(&window, &event);
  return event.isAccepted();
}

struct ReceiverFixture : ::testing::Test {
  QObject window;
  QStringList received;
  QList<bool> acceptCalls;
  DropReceiver receiver;  // last: its destruction still reports to acceptCalls

  void start() {
    receiver.acceptDrops(
        &window, [this](const QString& path) { received.append(path); },
        [this](bool on) { acceptCalls.append(on); });
  }
};

TEST_F(ReceiverFixture, EveryDroppedPathReachesTheCallbackInSourceOrder) {
  start();
  EXPECT_TRUE(dropOn(window, "file:///z/c\r\nfile:///a/b%20c\r\nfile:///m\r\n"));
  EXPECT_EQ(received, (QStringList{"/z/c", "/a/b c", "/m"}));
}

TEST_F(ReceiverFixture, InvalidUtf8NameArrivesByteExact) {
  start();
  dropOn(window, "file:///tmp/x%FFy\r\n");
  ASSERT_EQ(received.size(), 1);
  EXPECT_EQ(encodeFileName(received.first()), QByteArray("/tmp/x\xffy"));
}

TEST_F(ReceiverFixture, DragWithLocalFilesIsAcceptedOthersAreNot) {
  start();
  EXPECT_TRUE(dropOn(window, "file:///a\r\n", QEvent::DragEnter));
  EXPECT_FALSE(dropOn(window, "http://x/a\r\n", QEvent::DragEnter));
  EXPECT_FALSE(dropOn(window, "http://x/a\r\n"));
  EXPECT_TRUE(received.isEmpty());
}

// Asking a drag for its list fetches the list from the source, megabytes for a selection of 100,000
// files: it is asked once as the drag comes in and once at the drop, however long it moves.
TEST_F(ReceiverFixture, DragDataIsFetchedOnEnterAndOnDropOnly) {
  struct CountingMime : QMimeData {
    mutable int fetched = 0;
    QVariant retrieveData(const QString& type, QMetaType as) const override {
      fetched += type == QStringLiteral("text/uri-list") ? 1 : 0;
      return QMimeData::retrieveData(type, as);
    }
  };
  start();
  CountingMime mime;
  mime.setData(QStringLiteral("text/uri-list"), "http://x/a\r\nfile:///b\r\n");
  QList<QEvent::Type> events{QEvent::DragEnter};
  for (int move = 0; move < 20; ++move) events.append(QEvent::DragMove);
  events.append(QEvent::Drop);
  for (QEvent::Type type : events) {
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier, type);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&window, &event);
    EXPECT_TRUE(event.isAccepted()) << type;
  }
  EXPECT_EQ(mime.fetched, 2);
  EXPECT_EQ(received, QStringList{"/b"});
}

TEST_F(ReceiverFixture, ThumbnailDraggedFromOurOwnListIsNeitherAcceptedNorOpened) {
  start();
  for (QEvent::Type type : {QEvent::DragEnter, QEvent::DragMove, QEvent::Drop}) {
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), "file:///pictures/a.jpg\r\n");
    mime.setData(QStringLiteral("application/x-pimrose-own-drag"), "1");
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier, type);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&window, &event);
    EXPECT_FALSE(event.isAccepted()) << type;
  }
  EXPECT_TRUE(received.isEmpty());
}

TEST_F(ReceiverFixture, SecondAcceptDoesNothingAndStopEndsDrops) {
  start();
  receiver.acceptDrops(&window, [](const QString&) { FAIL() << "second callback must not be used"; });
  dropOn(window, "file:///one\r\n");
  receiver.stopDrops();
  EXPECT_FALSE(receiver.isRegistered());
  EXPECT_FALSE(dropOn(window, "file:///two\r\n"));
  EXPECT_EQ(received, QStringList{"/one"});
  EXPECT_EQ(acceptCalls, (QList<bool>{true, false}));
  receiver.stopDrops();  // a second stop is harmless
  EXPECT_EQ(acceptCalls.size(), 2);
}

TEST_F(ReceiverFixture, CallbackMayStopDropsAndWindowMayGoFirst) {
  receiver.acceptDrops(&window, [this](const QString& path) {
    received.append(path);
    receiver.stopDrops();
  });
  dropOn(window, "file:///a\r\nfile:///b\r\n");
  EXPECT_EQ(received, (QStringList{"/a", "/b"}));

  auto* shortLived = new QObject;
  DropReceiver other;
  other.acceptDrops(shortLived, [](const QString&) {});
  delete shortLived;
  other.stopDrops();
}

TEST(DropQueueTest, StateMachineOpensOnTheSecondTickAfterTheLastPath) {
  QList<QStringList> opened;
  DropQueue queue([&](const QStringList& paths) { opened.append(paths); });
  QList<bool> switched;  // the timer runs from the first path to the opening, and is not restarted
  queue.setTimerSwitch([&](bool run) { switched.append(run); });
  queue.queuePath("/a");
  EXPECT_EQ(queue.state(), DropQueue::State::Queued);
  queue.tick();
  EXPECT_EQ(queue.state(), DropQueue::State::Waiting);
  queue.queuePath("/b");  // back to Queued, same batch
  queue.tick();
  EXPECT_TRUE(opened.isEmpty());
  EXPECT_EQ(switched, QList<bool>{true});
  queue.tick();
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened.first(), (QStringList{"/a", "/b"}));
  EXPECT_EQ(queue.state(), DropQueue::State::Idle);
  EXPECT_TRUE(queue.pendingPaths().isEmpty());
  EXPECT_EQ(switched, (QList<bool>{true, false}));
  queue.tick();
  EXPECT_EQ(opened.size(), 1);
}

TEST(DropQueueTest, OwnTimerRunsOnlyWhilePathsWait) {
  QList<QStringList> opened;
  DropQueue queue([&](const QStringList& paths) { opened.append(paths); });
  EXPECT_FALSE(queue.timer().isActive());
  queue.queuePath("/a");
  EXPECT_TRUE(queue.timer().isActive());
  ASSERT_TRUE(test::waitFor([&] { return !opened.isEmpty(); }));
  EXPECT_FALSE(queue.timer().isActive());
  queue.queuePath("/b");
  QList<bool> switched;  // handing the ticks over keeps a waiting batch going on the new timer
  queue.setTimerSwitch([&](bool run) { switched.append(run); });
  EXPECT_FALSE(queue.timer().isActive());
  EXPECT_EQ(switched, QList<bool>{true});
}

// Time is driven by hand: the timer's events are the queue's only clock, so a drop 30 ms after
// another has at most one timer event between them, however much the machine stalls (a stalled
// timer does not fire twice). Either way the three paths open as one batch, two or three events
// (50 to 150 ms) after the last drop.
TEST(DropQueueTest, TwoDropsThirtyMillisecondsApartOpenTogether) {
  for (const int ticksBetween : {0, 1}) {
    QObject window;
    QList<QStringList> opened;
    DropQueue queue([&](const QStringList& paths) { opened.append(paths); });
    EXPECT_EQ(queue.timer().objectName(), QStringLiteral("时钟_拖放路径"));
    EXPECT_EQ(queue.timer().interval(), 50);
    queue.timer().stop();
    DropReceiver receiver;
    receiver.acceptDrops(&window, [&](const QString& path) { queue.queuePath(path); });

    dropOn(window, "file:///first\r\n");
    for (int t = 0; t < ticksBetween; ++t) queue.tick();
    dropOn(window, "file:///second\r\nfile:///third\r\n");
    int ticksAfter = 0;
    while (opened.isEmpty() && ticksAfter < 10) {
      queue.tick();
      ++ticksAfter;
    }
    EXPECT_GE(ticksAfter, 2) << ticksBetween;
    EXPECT_LE(ticksAfter, 3) << ticksBetween;
    ASSERT_EQ(opened.size(), 1) << ticksBetween;
    EXPECT_EQ(opened.first(), (QStringList{"/first", "/second", "/third"}));
    for (int t = 0; t < 5; ++t) queue.tick();
    EXPECT_EQ(opened.size(), 1);
  }
}

}  // namespace
}  // namespace pimrose
