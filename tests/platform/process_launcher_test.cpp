#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "platform/process_launcher.h"
#include "support/sandbox.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

TEST(OwnExecutableTest, LinkTargetOfAReplacedExecutableNamesTheNewFile) {
  const auto existing = [](const QString& path) { return path == u"/usr/bin/pimrose"; };
  const struct {
    const char* target;
    const char* expected;
  } cases[] = {{"/usr/bin/pimrose", "/usr/bin/pimrose"},
               {"/usr/bin/pimrose (deleted)", "/usr/bin/pimrose"},
               {"/opt/old/pimrose (deleted)", ""},
               {"/home/me/my (deleted) build/pimrose", "/home/me/my (deleted) build/pimrose"}};
  for (const auto& c : cases)
    EXPECT_EQ(executableFromLinkTarget(QString::fromUtf8(c.target), existing), QString::fromUtf8(c.expected))
        << c.target;
}

TEST(OwnExecutableTest, IsThisTestProgram) {
  EXPECT_EQ(ownExecutablePath(), QCoreApplication::applicationFilePath());
}

// The started program sees exactly the environment given and this process's working folder.
TEST(ProcessLauncherTest, StartsDetachedWithTheGivenEnvironment) {
  test::Sandbox sandbox;
  const QString report = sandbox.filePath(QStringLiteral("report"));
  const QString script =
      sandbox.write(QStringLiteral("child.sh"),
                    "#!/bin/sh\n{ echo \"$MARK\"; echo \"${HOME-unset}\"; pwd; } > \"$REPORT.tmp\"\n"
                    "mv \"$REPORT.tmp\" \"$REPORT\"\n");
  QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  auto launcher = makeProcessLauncher();
  ASSERT_TRUE(
      launcher->startDetached(script, {QStringLiteral("MARK=a=b c"), QStringLiteral("REPORT=") + report,
                                       QStringLiteral("PATH=/usr/bin:/bin")}));
  ASSERT_TRUE(test::waitFor([&] { return QFile::exists(report); }));
  QFile file(report);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "a=b c\nunset\n" + QDir::currentPath().toUtf8() + "\n");
}

TEST(ProcessLauncherTest, MissingProgramIsNotStarted) {
  EXPECT_FALSE(makeProcessLauncher()->startDetached(QStringLiteral("/nonexistent/pimrose"), {}));
}

}  // namespace
}  // namespace pimrose
