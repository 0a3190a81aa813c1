#include <QFile>

#include <gtest/gtest.h>

#include "platform/autostart_entry.h"
#include "support/sandbox.h"

namespace pimrose {
namespace {

TEST(AutostartEntryTest, ExecArgumentsQuoteAndComeBack) {
  const struct {
    const char* program;
    const char* exec;
  } cases[] = {
      {"/usr/bin/pimrose", "\"/usr/bin/pimrose\""},
      {"/opt/my apps/pimrose", "\"/opt/my apps/pimrose\""},
      {"/opt/100%/p", "\"/opt/100%%/p\""},
      {"/opt/$HOME/`x`/p", "\"/opt/\\\\$HOME/\\\\`x\\\\`/p\""},
      {"/opt/say \"hi\"/p", "\"/opt/say \\\\\"hi\\\\\"/p\""},
      {"/opt/back\\slash/p", "\"/opt/back\\\\\\\\slash/p\""},
      {"/opt/看图/p", "\"/opt/看图/p\""},
  };
  for (const auto& c : cases) {
    const QString program = QString::fromUtf8(c.program);
    EXPECT_EQ(execArgument(program), QString::fromUtf8(c.exec)) << c.program;
    EXPECT_EQ(execProgram(execArgument(program) + QStringLiteral(" %u")), program) << c.program;
  }
  EXPECT_EQ(execProgram(QStringLiteral("/usr/bin/other --flag")), u"/usr/bin/other");
}

TEST(AutostartEntryTest, WrittenEntryPointsAtThisProgramOnly) {
  test::Sandbox sandbox;
  const QString entry = sandbox.filePath(QStringLiteral("autostart/Pimrose.desktop"));
  const QString program = sandbox.filePath(QStringLiteral("odd $dir \"x\"/pimrose"));
  EXPECT_FALSE(autostartEntryExists(entry, program));
  ASSERT_TRUE(writeAutostartEntry(entry, program));
  EXPECT_TRUE(autostartEntryExists(entry, program));
  EXPECT_FALSE(autostartEntryExists(entry, sandbox.filePath(QStringLiteral("other/pimrose"))));
  ASSERT_TRUE(removeAutostartEntry(entry));
  EXPECT_FALSE(QFile::exists(entry));
  EXPECT_TRUE(removeAutostartEntry(entry));  // nothing left to remove is no failure
  // An entry written by hand without quotes is read too.
  sandbox.write(QStringLiteral("autostart/Pimrose.desktop"), "[Desktop Entry]\nExec=/usr/bin/pimrose %U\n");
  EXPECT_TRUE(autostartEntryExists(entry, QStringLiteral("/usr/bin/pimrose")));
}

}  // namespace
}  // namespace pimrose
