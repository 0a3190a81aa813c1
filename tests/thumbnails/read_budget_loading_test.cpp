#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "codecs/read_budget.h"
#include "support/sandbox.h"
#include "thumbnails/load_thumbnail.h"

namespace pimrose {
namespace {

// Noise does not compress: a PNG of about 2 MiB.
QString noisePng(const test::Sandbox& sandbox) {
  QImage noise(1000, 720, QImage::Format_RGB888);
  QRandomGenerator random(7);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate());
  const QString path = sandbox.filePath(QStringLiteral("noise.png"));
  noise.save(path);
  return path;
}

// Loader threads that all read a large picture at once keep, together, within the shared budget:
// here room for one such file, so they take turns.
TEST(ReadBudgetLoading, LoaderThreadsTogetherStayWithinTheSharedBudget) {
  test::Sandbox sandbox;
  const QString path = noisePng(sandbox);
  const qint64 fileBytes = QFileInfo(path).size();
  ASSERT_GT(fileBytes, 2'000'000);
  ReadBudget& budget = sharedReadBudget();
  const qint64 previous = budget.capacity();
  budget.setCapacity(fileBytes * 3 / 2);
  budget.resetPeak();

  std::atomic<bool> go = false;
  std::atomic<int> made = 0;
  // Standard threads: Qt is not instrumented, so joining a QThread looks like a race to ThreadSanitizer.
  std::vector<std::thread> loaders;
  for (int i = 0; i < 4; ++i) {
    loaders.emplace_back([&] {
      while (!go) std::this_thread::yield();
      if (!loadThumbnail(path, 24, false).image.isNull()) ++made;
    });
  }
  go = true;
  for (std::thread& loader : loaders) loader.join();
  budget.setCapacity(previous);

  EXPECT_EQ(made, 4);
  EXPECT_EQ(budget.peakHeld(), fileBytes);  // every read was counted, and never two at once
  EXPECT_EQ(budget.held(), 0);
}

}  // namespace
}  // namespace pimrose
