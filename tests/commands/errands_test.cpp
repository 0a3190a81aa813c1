#include <QThread>

#include <gtest/gtest.h>

#include <future>
#include <memory>

#include "commands/errands.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

TEST(ErrandsTest, WorkRunsOffTheUiThreadAndItsResultArrivesOnIt) {
  Errands errands;
  QThread* const uiThread = QThread::currentThread();
  std::promise<QThread*> workThread;
  QStringList delivered;
  QThread* deliveryThread = nullptr;
  for (const char* word : {"one", "two", "three"}) {
    errands.run(
        [&workThread, word] {
          if (QString::fromUtf8(word) == QLatin1String("one")) workThread.set_value(QThread::currentThread());
          return QString::fromUtf8(word);
        },
        [&](const QString& result) {
          delivered.append(result);
          deliveryThread = QThread::currentThread();
        });
  }
  ASSERT_TRUE(test::waitFor([&] { return delivered.size() == 3; }));
  EXPECT_NE(workThread.get_future().get(), uiThread);
  EXPECT_EQ(deliveryThread, uiThread);
  delivered.sort();
  EXPECT_EQ(delivered, (QStringList{QStringLiteral("one"), QStringLiteral("three"), QStringLiteral("two")}));
}

// The owner goes while the disk is still busy, or after the result arrived but before the UI thread
// took it: the result is dropped and nothing of the owner is touched (AddressSanitizer watches).
TEST(ErrandsTest, ResultsForAnOwnerThatHasGoneAreDropped) {
  for (const bool doneBeforeTheEnd : {false, true}) {
    SCOPED_TRACE(doneBeforeTheEnd);
    auto errands = std::make_unique<Errands>();
    std::promise<void> diskAnswers;
    std::shared_future<void> answer = diskAnswers.get_future().share();
    auto delivered = std::make_shared<int>(0);
    errands->run(
        [answer] {
          answer.wait();
          return 7;
        },
        [delivered](int result) { *delivered += result; });
    if (doneBeforeTheEnd) {
      diskAnswers.set_value();
      diskWorkPool().waitForDone();  // arrived, not yet taken by the UI thread
      errands.reset();
    } else {
      errands.reset();
      diskAnswers.set_value();
      diskWorkPool().waitForDone();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(*delivered, 0);
  }
}

// Two requests on one line, the first held up on a slow disk: when the second ends first, the
// first is dropped, so what stays is what was asked for last.
TEST(ErrandsTest, OnALineAResultOvertakenByALaterOneIsDropped) {
  for (const bool firstEndsFirst : {false, true}) {
    SCOPED_TRACE(firstEndsFirst);
    Errands errands;
    Errands::Line line;
    std::promise<void> slowDisk;
    std::shared_future<void> answer = slowDisk.get_future().share();
    QStringList delivered;
    const auto note = [&delivered](const QString& result) { delivered.append(result); };
    errands.runOnLine(
        line,
        [answer] {
          answer.wait();
          return QStringLiteral("first");
        },
        note);
    if (firstEndsFirst) {
      slowDisk.set_value();
      ASSERT_TRUE(test::waitFor([&] { return delivered.size() == 1; }));
    }
    errands.runOnLine(
        line, [] { return QStringLiteral("second"); }, note);
    ASSERT_TRUE(test::waitFor([&] { return delivered.contains(QStringLiteral("second")); }));
    if (!firstEndsFirst) slowDisk.set_value();
    diskWorkPool().waitForDone();
    QCoreApplication::processEvents();
    const QStringList expected = firstEndsFirst
                                     ? QStringList{QStringLiteral("first"), QStringLiteral("second")}
                                     : QStringList{QStringLiteral("second")};
    EXPECT_EQ(delivered, expected);
  }
}

}  // namespace
}  // namespace pimrose
