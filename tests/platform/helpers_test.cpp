#include <cmath>
#include <thread>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/clipboard_text.h"
#include "platform/module_loader.h"
#include "platform/precise_delay.h"
#include "text/text_conversion.h"

namespace pimrose {
namespace {

TEST(PreciseDelayTest, WaitsWhileEventsKeepBeingServed) {
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(20);
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(PreciseDelay(300));
  const qint64 waited = clock.elapsed();
  EXPECT_GE(waited, 299);
  EXPECT_LT(waited, 1500);
  EXPECT_GE(ticks, 5);
  clock.restart();
  EXPECT_TRUE(PreciseDelay(0.1, 1));  // a tenth of a second
  EXPECT_GE(clock.elapsed(), 99);
}

TEST(PreciseDelayTest, NothingToWaitReturnsAtOnce) {
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(PreciseDelay(0));
  EXPECT_TRUE(PreciseDelay(-5000));
  EXPECT_TRUE(PreciseDelay(std::nan("")));
  EXPECT_TRUE(PreciseDelay(std::nullopt, 1));
  EXPECT_LT(clock.elapsed(), 100);
}

TEST(PreciseDelayTest, WaitsOnAThreadWithoutEventLoop) {
  qint64 waited = 0;
  std::thread worker([&waited] {
    QElapsedTimer clock;
    clock.start();
    PreciseDelay(100);
    waited = clock.elapsed();
  });
  worker.join();
  EXPECT_GE(waited, 99);
}

TEST(PreciseDelayTest, EndlessWaitEndsWhenTheApplicationQuits) {
  bool returned = false;
  QTimer::singleShot(0, [&returned] {
    PreciseDelay();
    returned = true;
  });
  QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
  QElapsedTimer clock;
  clock.start();
  QCoreApplication::exec();
  EXPECT_TRUE(returned);
  EXPECT_LT(clock.elapsed(), 5000);
}

TEST(ModuleLoaderTest, LoadsResolvesAndFrees) {
  const ModuleHandle math = LoadModule("libm.so.6");
  ASSERT_NE(math, nullptr);
  const auto cosine = reinterpret_cast<double (*)(double)>(ModuleProc(math, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(ModuleProc(math, "no_such_symbol_here"), nullptr);
  EXPECT_EQ(ModuleProc(math, QByteArray()), nullptr);
  EXPECT_TRUE(FreeModule(math));

  EXPECT_EQ(LoadModule("libno-such-library.so"), nullptr);
  EXPECT_EQ(LoadModule(QByteArray()), nullptr);
  EXPECT_EQ(ModuleProc(nullptr, "cos"), nullptr);
  EXPECT_FALSE(FreeModule(nullptr));
}

TEST(ClipboardTextTest, PutsTheWideTextUpToItsTerminator) {
  SetClipboardWideText(toWide(QStringLiteral("第 2 行：复制")));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("第 2 行：复制"));
  QByteArray withTail = toWide(QStringLiteral("ab"));
  withTail.append("c\0", 2);
  SetClipboardWideText(withTail);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
}

}  // namespace
}  // namespace pimrose
