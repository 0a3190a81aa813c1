#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/browser.h"
#include "support/sandbox.h"
#include "support/wait_for.h"
#include "ui/controls.h"

namespace pimrose {
namespace {

constexpr int kDelayMs = 2000;  // every lookup, listing, open and read of the slow folder
constexpr qint64 kLongestStallMs = 50;
constexpr int kPatienceMs = 90000;  // a few dozen slow calls

// The longest time the UI thread went without running a 1 ms timer: how long it could not have
// answered a click or painted. Time the thread spent ready but waiting for a core (the machine is
// shared; /proc/thread-self/schedstat counts it) is the machine's doing, not the program's, and is
// left out; time blocked in a file-system call is counted.
class StallMeter : public QObject {
 public:
  StallMeter() {
    clock_.start();
    waited_ = runQueueWaitMs();
    connect(&timer_, &QTimer::timeout, this, [this] {
      const qint64 waited = runQueueWaitMs();
      longest_ = std::max(longest_, clock_.restart() - (waited - waited_));
      waited_ = waited;
    });
    timer_.start(1);
  }
  qint64 longest() const { return longest_; }

 private:
  // Nanoseconds spent on the run queue, as milliseconds; 0 where the kernel does not tell.
  static qint64 runQueueWaitMs() {
    QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return fields.size() >= 2 ? fields[1].toLongLong() / 1000000 : 0;
  }

  QTimer timer_;
  QElapsedTimer clock_;
  qint64 waited_ = 0;
  qint64 longest_ = 0;
};

// A folder mirrored through the delaying FUSE file system; unmounted when it goes.
class SlowFolder {
 public:
  SlowFolder(const QString& source, const QString& mountPoint) : mountPoint_(mountPoint) {
#ifdef PIMROSE_SLOW_FS
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QStringLiteral(PIMROSE_SLOW_FS), {source, mountPoint, QString::number(kDelayMs)});
    // /proc/mounts, not the folder itself: every look at the folder would wait the delay.
    mounted_ =
        test::waitFor([this] { return isMounted() || process_.state() == QProcess::NotRunning; }, 10000) &&
        isMounted();
#else
    Q_UNUSED(source);
#endif
  }
  ~SlowFolder() {
    if (process_.state() == QProcess::NotRunning) return;
    QProcess::execute(QStringLiteral("fusermount3"),
                      {QStringLiteral("-u"), QStringLiteral("-z"), mountPoint_});
    if (!process_.waitForFinished(10000)) process_.kill();
    process_.waitForFinished(5000);
  }
  bool mounted() const {
    return mounted_;
  }
  QString why() {
    return QString::fromLocal8Bit(process_.readAll());
  }

 private:
  bool isMounted() const {
    QFile mounts(QStringLiteral("/proc/mounts"));
    return mounts.open(QIODevice::ReadOnly) &&
           mounts.readAll().contains(' ' + mountPoint_.toLocal8Bit() + ' ');
  }

  QString mountPoint_;
  QProcess process_;
  bool mounted_ = false;
};

// Opening, clicking and searching on a folder whose every read and stat takes 2 s: the window
// keeps answering, and the list and the details line arrive once the reads are done.
TEST(SlowDiskTest, WindowNeverWaitsOnASlowFolder) {
#ifndef PIMROSE_SLOW_FS
  GTEST_SKIP() << "built without libfuse3 (libfuse3-dev): no slow folder can be mounted";
#else
  if (!QFile::exists(QStringLiteral("/dev/fuse")))
    GTEST_SKIP() << "no /dev/fuse: FUSE cannot be mounted here";
  test::Sandbox sandbox;
  for (const char* name : {"source/beach.png", "source/boat.png"})
    sandbox.write(QString::fromUtf8(name), "x");
  sandbox.write(QStringLiteral("mount/.keep"));
  const QString mountPoint = sandbox.filePath(QStringLiteral("mount"));
  SlowFolder folder(sandbox.filePath(QStringLiteral("source")), mountPoint);
  if (!folder.mounted()) GTEST_SKIP() << "FUSE cannot be mounted here: " << folder.why().toStdString();

  auto window = ui::loadWindow(ui::mainWindowDefinition());
  const auto controls = ui::resolveControls<ui::MainWindowControls>(*window);
  // Thumbnails are made on their own workers; a stand-in keeps this test about the UI thread.
  Browser browser(controls, [](const LoadRequest&) { return LoadedThumbnail{}; });
  browser.InitLoading();
  window->show();
  auto* status = controls.标签_提示文本;
  StallMeter meter;

  browser.lists().openDropped({mountPoint});
  ASSERT_TRUE(test::waitFor([&] { return controls.图标列表框_文件->itemCount() == 2; }, kPatienceMs));

  Q_EMIT controls.图标列表框_文件->itemClicked(1);
  ASSERT_TRUE(
      test::waitFor([&] { return status->text().startsWith(QStringLiteral("位置：2/2")); }, kPatienceMs))
      << status->text().toStdString();
  EXPECT_TRUE(status->text().endsWith(mountPoint + QStringLiteral("/beach.png")));

  controls.编辑框_搜索->setText(QStringLiteral("boat"));
  QTest::keyClick(controls.编辑框_搜索->lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(
      test::waitFor([&] { return status->text().startsWith(QStringLiteral("位置：1/1")); }, kPatienceMs))
      << status->text().toStdString();
  controls.图标列表框_搜索->view()->scrollToBottom();
  QCoreApplication::processEvents();

  EXPECT_LT(meter.longest(), kLongestStallMs);
#endif
}

}  // namespace
}  // namespace pimrose
