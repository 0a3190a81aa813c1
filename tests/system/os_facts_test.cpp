#include <gtest/gtest.h>

#include <QFile>

#include "support/sandbox.h"
#include "system/os_facts.h"
#include "system/product_type.h"
#include "system/time_picture.h"

namespace pimrose {
namespace {

OsFactSources fixtureSources(const test::Sandbox& root) {
  return {SystemFiles(root.path()), [] { return QStringLiteral(" x86_64 "); },
          [] { return QStringLiteral("\u3000alice "); }, QLocale(QLocale::Chinese, QLocale::China),
          [] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3), Qt::OffsetFromUTC, 8 * 3600); }};
}

void writeFullTree(const test::Sandbox& root) {
  root.write(QStringLiteral("etc/os-release"),
             "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"  Debian GNU/Linux 12 (bookworm)\u3000\"\n"
             "VERSION_ID='12'\nBUILD_ID=2024\n");
  root.write(QStringLiteral("etc/timezone"), "Asia/Shanghai\n");
  root.write(QStringLiteral("proc/meminfo"),
             "MemTotal:       16000 kB\nMemFree:   1000 kB\nMemAvailable:    9000 kB\n"
             "SwapTotal:  4000 kB\nSwapFree:   3000 kB\n");
  root.write(QStringLiteral("proc/stat"), "cpu  1 2 3 4\nbtime 1700000000\n");
  root.write(QStringLiteral("proc/sys/kernel/hostname"), "workbench\n");
  root.write(QStringLiteral("proc/sys/kernel/version"), "#1 SMP PREEMPT_DYNAMIC\n");
  root.write(QStringLiteral("proc/sys/kernel/pid_max"), "4194304\n");
  root.write(QStringLiteral("proc/cpuinfo"), "processor\t: 0\nflags\t\t: fpu pae nx sse\n");
  root.write(QStringLiteral("proc/mounts"),
             "/dev/sda1 / ext4 rw 0 0\n/dev/sda2 /boot ext4 rw 0 0\n/dev/sdb1 / ext4 rw 0 0\n");
  root.write(QStringLiteral("proc/1/stat"));
  root.write(QStringLiteral("proc/42/stat"));
  root.write(QStringLiteral("proc/self/stat"));
}

TEST(OsFactsTest, FactsFromTheirSources) {
  const test::Sandbox root;
  writeFullTree(root);
  const OsFacts facts(fixtureSources(root));
  EXPECT_EQ(facts.Caption(), QStringLiteral("Debian GNU/Linux 12 (bookworm)"))
      << "trimmed both kinds of space";
  EXPECT_EQ(facts.Caption2(), facts.Caption());
  EXPECT_EQ(facts.Version(), QStringLiteral("12"));
  EXPECT_EQ(facts.BuildNumber(), 2024);
  EXPECT_EQ(facts.CSName(), QStringLiteral("workbench"));
  EXPECT_EQ(facts.BuildType(), QStringLiteral("#1 SMP PREEMPT_DYNAMIC"));
  EXPECT_EQ(facts.TotalVisibleMemorySize(), 16000);
  EXPECT_EQ(facts.FreePhysicalMemory(), 9000);
  EXPECT_EQ(facts.SizeStoredInPagingFiles(), 4000);
  EXPECT_EQ(facts.FreeSpaceInPagingFiles(), 3000);
  EXPECT_EQ(facts.TotalVirtualMemorySize(), 20000);
  EXPECT_EQ(facts.FreeVirtualMemory(), 12000);
  EXPECT_EQ(facts.LastBootUpTime(), QDateTime::fromSecsSinceEpoch(1700000000));
  EXPECT_EQ(facts.MaxNumberOfProcesses(), 4194304);
  EXPECT_EQ(facts.NumberOfProcesses(), 2);
  EXPECT_TRUE(facts.DataExecutionPrevention_Available());
  EXPECT_TRUE(facts.PAEEnabled());
  EXPECT_EQ(facts.SystemDevice(), QStringLiteral("/dev/sdb1")) << "the later mount hides the earlier";
  EXPECT_EQ(facts.BootDevice(), QStringLiteral("/dev/sda2"));
  EXPECT_EQ(facts.OSArchitecture(), QStringLiteral("x86_64"));
  EXPECT_EQ(facts.UserName(), QStringLiteral("alice"));
  EXPECT_EQ(facts.TimeZoneName(), QStringLiteral("Asia/Shanghai"));
  EXPECT_EQ(facts.CurrentTimeZone(), 480);
  EXPECT_EQ(facts.Locale(), QStringLiteral("zh_CN"));
  EXPECT_EQ(facts.CurrencySymbol(), QStringLiteral("¥"));
  EXPECT_EQ(facts.OSType(), 36);
  QStringList languages{QStringLiteral("kept")};
  const int added = facts.MUILanguages(languages);
  EXPECT_GT(added, 0);
  EXPECT_EQ(languages.size(), added + 1) << "the list is appended to, not emptied";
  EXPECT_EQ(languages.front(), QStringLiteral("kept"));
}

TEST(OsFactsTest, MissingFilesGiveNeutralValues) {
  const test::Sandbox root;
  OsFactSources sources = fixtureSources(root);
  sources.userName = [] { return QString(); };
  const OsFacts facts(sources);
  // A text fact that cannot be read answers the number 0 as text.
  EXPECT_EQ(facts.Caption(), QStringLiteral("0"));
  EXPECT_EQ(facts.Version(), QStringLiteral("0"));
  EXPECT_EQ(facts.BuildNumber(), 0);
  EXPECT_EQ(facts.CSName(), QStringLiteral("0"));
  for (const QString& noSource : {facts.CountryCode(), facts.Manufacturer(), facts.SerialNumber(),
                                  facts.Status(), facts.WindowsDirectory(), facts.BuildType()})
    EXPECT_EQ(noSource, QStringLiteral("0"));
  EXPECT_EQ(facts.TotalVisibleMemorySize(), 0);
  EXPECT_EQ(facts.FreePhysicalMemory(), 0);
  EXPECT_EQ(facts.TotalVirtualMemorySize(), 0);
  EXPECT_FALSE(facts.LastBootUpTime().isValid());
  EXPECT_FALSE(facts.InstallDate().isValid());
  EXPECT_EQ(facts.NumberOfProcesses(), 0);
  EXPECT_EQ(facts.MaxNumberOfProcesses(), 0);
  EXPECT_FALSE(facts.DataExecutionPrevention_Available());
  EXPECT_EQ(facts.SystemDevice(), QStringLiteral("0"));
  EXPECT_EQ(facts.BootDevice(), QStringLiteral("0"));
  EXPECT_EQ(facts.UserName(), QString());  // not a read of the system's records: empty
  EXPECT_EQ(facts.TimeZoneName(), QString());
  // Nothing tells the product type: none of the three answers yes, nor is this Windows NT.
  EXPECT_FALSE(facts.IsServer());
  EXPECT_FALSE(facts.IsDomainController());
  EXPECT_FALSE(facts.IsWorkstation());
  EXPECT_FALSE(facts.IsWindowsNt());
}

TEST(OsFactsTest, FallbackSources) {
  const test::Sandbox root;
  root.write(QStringLiteral("usr/lib/os-release"), "NAME=Plain\nVERSION_ID=\"1.0\"\n");
  root.write(QStringLiteral("proc/meminfo"), "MemTotal: 100 kB\nMemFree: 40 kB\n");
  root.write(QStringLiteral("usr/share/zoneinfo/Europe/Berlin"), "TZif");
  root.makeFolder(QStringLiteral("etc"));
  ASSERT_TRUE(QFile::link(QStringLiteral("../usr/share/zoneinfo/Europe/Berlin"),
                          root.filePath(QStringLiteral("etc/localtime"))));
  const OsFacts facts(fixtureSources(root));
  EXPECT_EQ(facts.Caption(), QStringLiteral("Plain")) << "NAME when there is no PRETTY_NAME";
  EXPECT_EQ(facts.Version(), QStringLiteral("1.0"));
  EXPECT_EQ(facts.FreePhysicalMemory(), 40) << "MemFree without MemAvailable";
  EXPECT_EQ(facts.TimeZoneName(), QStringLiteral("Europe/Berlin"));
}

// The time format is a time picture: no time zone (nor milliseconds), "tt" for the AM/PM marker, and
// H for an hour counted to 23.
TEST(OsFactsTest, TimeFormatIsThePictureWithoutTheTimeZone) {
  const test::Sandbox root;
  struct Case {
    QLocale locale;
    const char* picture;
  } cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), "h:mm:ss tt"},
      {QLocale(QLocale::Chinese, QLocale::China), "HH:mm:ss"},
      {QLocale(QLocale::German, QLocale::Germany), "HH:mm:ss"},
      {QLocale(QLocale::Spanish, QLocale::Spain), "H:mm:ss"},
      {QLocale(QLocale::Korean, QLocale::SouthKorea), "tt h시 m분 s초"},
  };
  for (const Case& c : cases) {
    OsFactSources sources = fixtureSources(root);
    sources.locale = c.locale;
    EXPECT_EQ(OsFacts(sources).TimeFormat(), QString::fromUtf8(c.picture)) << c.locale.name().toStdString();
  }
  for (const auto& [format, picture] :
       {std::pair{"t HH:mm:ss", "HH:mm:ss"}, std::pair{"Bh:mm:ss [t]", "BH:mm:ss"},
        std::pair{"HH:mm:ss.zzz t", "HH:mm:ss"}, std::pair{"h 'o''clock' ap", "h 'o''clock' tt"}})
    EXPECT_EQ(timePicture(QString::fromUtf8(format)), QString::fromUtf8(picture)) << format;
}

// The product type tells workstation (1), domain controller (2) and server (3) apart by the
// machine's own records; 0 where none tells.
TEST(OsFactsTest, ProductTypeFromTheMachinesRecords) {
  struct Case {
    const char* what;
    std::vector<std::pair<const char*, const char*>> files;
    qint64 type;
  } cases[] = {
      {"nothing tells", {}, 0},
      {"a laptop chassis", {{"sys/class/dmi/id/chassis_type", "10\n"}}, 1},
      {"a rack-mount chassis", {{"sys/class/dmi/id/chassis_type", "23\n"}}, 3},
      {"an unknown chassis, a server power profile",
       {{"sys/class/dmi/id/chassis_type", "2\n"}, {"sys/firmware/acpi/pm_profile", "4\n"}},
       3},
      {"the name the machine was given wins",
       {{"etc/machine-info", "PRETTY_HOSTNAME=x\nCHASSIS=server\n"},
        {"sys/class/dmi/id/chassis_type", "3\n"}},
       3},
      {"a virtual machine says nothing of its role",
       {{"etc/machine-info", "CHASSIS=vm\n"}, {"sys/class/dmi/id/chassis_type", "3\n"}},
       1},
      {"a Samba domain controller",
       {{"etc/samba/smb.conf", "[global]\n   Server Role = active directory domain controller\n"},
        {"sys/class/dmi/id/chassis_type", "3\n"}},
       2},
      {"a Samba member server is no domain controller",
       {{"etc/samba/smb.conf", "[global]\nserver role = member server\n[share]\nserverrole = dc\n"}},
       0},
  };
  for (const Case& c : cases) {
    const test::Sandbox root;
    for (const auto& [path, content] : c.files) root.write(QString::fromUtf8(path), content);
    const OsFacts facts(fixtureSources(root));
    EXPECT_EQ(productTypeOf(SystemFiles(root.path())), c.type) << c.what;
    EXPECT_EQ(facts.IsWorkstation(), c.type == 1) << c.what;
    EXPECT_EQ(facts.IsDomainController(), c.type == 2) << c.what;
    EXPECT_EQ(facts.IsServer(), c.type == 3) << c.what;
  }
}

TEST(OsFactsTest, TrimsAsciiAndFullWidthSpaces) {
  EXPECT_EQ(trimmedFact(QStringLiteral(" \u3000 a b\u3000 ")), QStringLiteral("a b"));
  EXPECT_EQ(trimmedFact(QStringLiteral("\u3000\u3000")), QString());
  EXPECT_EQ(trimmedFact(QStringLiteral("\ta\t")), QStringLiteral("\ta\t")) << "only the two spaces";
}

}  // namespace
}  // namespace pimrose
