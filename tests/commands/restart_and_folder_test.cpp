#include <QCoreApplication>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "commands/restart_program.h"
#include "commands/show_in_folder.h"
#include "platform/file_manager.h"
#include "platform/instance_channel.h"
#include "platform/process_launcher.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

// Restarting: what is executed, in which order things are let go

class RecordingLauncher : public ProcessLauncher {
 public:
  explicit RecordingLauncher(QStringList* log, bool starts = true) : log_(log), starts_(starts) {}
  bool startDetached(const QString& program, const QStringList& environment) override {
    log_->append(QStringLiteral("start"));
    programs.append(program);
    environments.append(environment);
    return starts_;
  }
  QStringList programs;
  QList<QStringList> environments;

 private:
  QStringList* log_;
  bool starts_;
};

class RestartTest : public ::testing::Test {
 protected:
  RestartSteps steps() {
    auto note = [this](const char* what) { return [this, what] { log_.append(QString::fromUtf8(what)); }; };
    return {note("save"), note("tray"), note("hotkey"), note("channel"),
            [this](int code) { log_.append(QStringLiteral("end %1").arg(code)); }};
  }
  QStringList log_;
};

TEST_F(RestartTest, StartsOwnExecutableThenLetsGoAndEndsWithZeroKillingNothing) {
  RecordingLauncher launcher(&log_);
  ASSERT_TRUE(RestartProgram(steps(), launcher, QStringLiteral("/opt/pimrose/bin/pimrose"),
                             {QStringLiteral("PATH=/usr/bin"), QStringLiteral("PIMROSE_RESTARTED_FROM=1")}));
  EXPECT_EQ(log_.join(u','), QStringLiteral("save,start,tray,hotkey,channel,end 0"));
  // One program runs, and it is this one by its absolute path: no shell, no kill.
  EXPECT_EQ(launcher.programs, QStringList{QStringLiteral("/opt/pimrose/bin/pimrose")});
  const QString marker = QStringLiteral("PIMROSE_RESTARTED_FROM=%1").arg(QCoreApplication::applicationPid());
  EXPECT_EQ(launcher.environments.value(0), (QStringList{QStringLiteral("PATH=/usr/bin"), marker}));
}

TEST_F(RestartTest, WithTheRealExecutableAndEnvironment) {
  RecordingLauncher launcher(&log_);
  ASSERT_TRUE(RestartProgram(steps(), launcher));
  EXPECT_EQ(launcher.programs, QStringList{QCoreApplication::applicationFilePath()});
  const QStringList env = launcher.environments.value(0);
  for (const QString& entry : QProcessEnvironment::systemEnvironment().toStringList())
    if (!entry.startsWith(QLatin1String(kRestartMarker))) {
      EXPECT_TRUE(env.contains(entry)) << entry.toStdString();
    }
}

TEST_F(RestartTest, FailedStartOrNoExecutableKeepsThisInstanceRunning) {
  RecordingLauncher refusing(&log_, false);
  EXPECT_FALSE(RestartProgram(steps(), refusing, QStringLiteral("/usr/bin/pimrose"), {}));
  EXPECT_EQ(log_.join(u','), QStringLiteral("save,start"));

  log_.clear();
  RecordingLauncher launcher(&log_);
  EXPECT_FALSE(RestartProgram(steps(), launcher, QString(), {}));
  EXPECT_TRUE(log_.isEmpty());
}

// The new instance waits for the old one

class WaitingChannel : public InstanceChannel {
 public:
  bool isAnotherInstance(const QString&) override { return false; }
  void release() override {}
  bool waitForRelease(const QString& name, int timeoutMs) override {
    waits.append(QStringLiteral("%1 %2").arg(name).arg(timeoutMs));
    return true;
  }
  QStringList waits;
};

TEST(RestartedInstanceTest, WaitsOnlyWhenStartedByARestartAndDropsTheMarker) {
  WaitingChannel channel;
  qunsetenv(kRestartMarker);
  EXPECT_FALSE(awaitRestartedPredecessor(channel, QStringLiteral("Pimrose")));
  EXPECT_TRUE(channel.waits.isEmpty());

  qputenv(kRestartMarker, "4242");
  EXPECT_TRUE(awaitRestartedPredecessor(channel, QStringLiteral("Pimrose"), 3000));
  EXPECT_EQ(channel.waits, QStringList{QStringLiteral("Pimrose 3000")});
  EXPECT_FALSE(qEnvironmentVariableIsSet(kRestartMarker));
}

TEST(RestartedInstanceTest, EnvironmentCarriesExactlyOneMarker) {
  const QStringList env =
      restartEnvironment({QStringLiteral("A=1"), QStringLiteral("PIMROSE_RESTARTED_FROM=7"),
                          QStringLiteral("PIMROSE_RESTARTED_FROMX=2")},
                         99);
  EXPECT_EQ(env, (QStringList{QStringLiteral("A=1"), QStringLiteral("PIMROSE_RESTARTED_FROMX=2"),
                              QStringLiteral("PIMROSE_RESTARTED_FROM=99")}));
}

// Showing a picture in its folder

class RecordingFileManager : public FileManager {
 public:
  void showItems(const QStringList& uris, const QString& startupId) override {
    requests.append(uris);
    ids.append(startupId);
  }
  QList<QStringList> requests;
  QStringList ids;
};

TEST(ShowInFolderTest, MissingPathAsksNothingAndExistingFileGoesAsItsUri) {
  test::Sandbox sandbox;
  RecordingFileManager fileManager;
  EXPECT_FALSE(ShowInFolder(sandbox.filePath(QStringLiteral("gone.jpg")), fileManager));
  EXPECT_FALSE(ShowInFolder(QString(), fileManager));
  EXPECT_TRUE(fileManager.requests.isEmpty());

  const QString path = sandbox.write(QStringLiteral("雪 1.jpg"), "x");
  ASSERT_TRUE(ShowInFolder(path, fileManager, 1234));
  ASSERT_EQ(fileManager.requests.size(), 1);
  ASSERT_EQ(fileManager.requests[0].size(), 1);
  EXPECT_EQ(QUrl(fileManager.requests[0][0]).toLocalFile(), path);
  EXPECT_TRUE(fileManager.requests[0][0].startsWith(QLatin1String("file:///")));
  EXPECT_TRUE(fileManager.ids.value(0).endsWith(QLatin1String("_TIME1234")));
}

TEST(ShowInFolderTest, StartupIdsNameProcessHostAndRequest) {
  EXPECT_EQ(makeStartupId(12, QStringLiteral("box"), 3, 0), QStringLiteral("pimrose-12-box-ShowItems-3"));
  EXPECT_EQ(makeStartupId(12, QStringLiteral("box"), 4, 99),
            QStringLiteral("pimrose-12-box-ShowItems-4_TIME99"));
}

}  // namespace
}  // namespace pimrose
