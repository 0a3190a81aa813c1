#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "support/wait_for.h"
#include "viewing/viewer_decoder.h"

namespace pimrose {
namespace {

ViewerRequest named(const char* path) {
  return {1, QString::fromUtf8(path), QSize(40, 30)};
}

// While one decode waits on the disk: the picture to show goes ahead of the neighbours asked
// before it, and neither a waiting nor a running picture is decoded twice. Results arrive on the
// UI thread in the order they were made.
TEST(ViewerDecoderTest, ThePictureToShowGoesFirstAndNoPictureIsDecodedTwice) {
  std::mutex mutex;
  std::condition_variable opened;
  bool diskAnswers = false;
  int started = 0;
  ViewerDecoder decoder([&](const ViewerRequest& request) {
    std::unique_lock lock(mutex);
    ++started;
    opened.wait(lock, [&] { return diskAnswers; });
    return DecodedView{request, QImage(4, 3, QImage::Format_RGB32), QSize(4, 3)};
  });
  QStringList decoded;
  bool onUiThread = true;
  QObject::connect(&decoder, &ViewerDecoder::decoded, [&](const DecodedView& result) {
    decoded << result.request.path;
    onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
  });

  decoder.request(named("shown.jpg"), true);
  ASSERT_TRUE(test::waitFor([&] {
    std::lock_guard lock(mutex);
    return started == 1;
  }));
  decoder.request(named("next.jpg"), false);
  decoder.request(named("previous.jpg"), false);
  decoder.request(named("previous.jpg"), false);
  decoder.request(named("shown.jpg"), true);  // running already
  decoder.request(named("stepped.jpg"), true);
  {
    std::lock_guard lock(mutex);
    diskAnswers = true;
  }
  opened.notify_all();
  ASSERT_TRUE(test::waitFor([&] { return decoded.size() == 4; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(decoded, (QStringList{"shown.jpg", "stepped.jpg", "next.jpg", "previous.jpg"}));
  EXPECT_TRUE(onUiThread);
}

}  // namespace
}  // namespace pimrose
