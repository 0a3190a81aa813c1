#include "system/os_facts.h"

#include <langinfo.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

#include <QList>

#include "system/meminfo.h"
#include "system/product_type.h"
#include "system/time_picture.h"

namespace pimrose {
namespace {

constexpr qint64 kLinuxOsType = 36;
constexpr qint64 kWindowsNtOsType = 18;

// A value of os-release: unquoted, or in single or double quotes with backslash escapes.
QString unquoted(QByteArray value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.mid(1, value.size() - 2);
  QByteArray plain;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;
    plain += value[i];
  }
  return QString::fromUtf8(plain);
}

QString unameMachine() {
  utsname name{};
  return ::uname(&name) == 0 ? QString::fromUtf8(name.machine) : QString();
}

QString passwordDatabaseUser() {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return QString::fromLocal8Bit(found->pw_name);
}

// A text fact with nothing to tell answers what a failed read shows as text: the number 0, "0".
QString textFact(const QString& text) {
  return text.isEmpty() ? QStringLiteral("0") : text;
}

}  // namespace

QString trimmedFact(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  const auto isSpace = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
  while (first < last && isSpace(text[first])) ++first;
  while (last > first && isSpace(text[last - 1])) --last;
  return text.mid(first, last - first);
}

OsFactSources systemOsFactSources(SystemFiles files) {
  return {std::move(files), unameMachine, passwordDatabaseUser, QLocale::system(),
          [] { return QDateTime::currentDateTime(); }};
}

OsFacts::OsFacts(OsFactSources sources) : sources_(std::move(sources)) {}

QString OsFacts::osRelease(const QByteArray& key) const {
  std::optional<QByteArray> content = sources_.files.read(QStringLiteral("/etc/os-release"));
  if (!content) content = sources_.files.read(QStringLiteral("/usr/lib/os-release"));
  if (!content) return {};
  for (const QByteArray& line : content->split('\n')) {
    const qsizetype equals = line.indexOf('=');
    if (equals > 0 && line.left(equals).trimmed() == key)
      return trimmedFact(unquoted(line.mid(equals + 1).trimmed()));
  }
  return {};
}

QString OsFacts::kernelFile(const QString& name) const {
  return trimmedFact(sources_.files.firstLine(QStringLiteral("/proc/sys/kernel/") + name));
}

qint64 OsFacts::meminfo(const QByteArray& key) const {
  return meminfoKilobytes(sources_.files, key).value_or(0);
}

// The device of the last mount on that point in /proc/mounts (a later mount hides an earlier one).
QString OsFacts::mountedDevice(const QString& mountPoint) const {
  const std::optional<QByteArray> mounts = sources_.files.read(QStringLiteral("/proc/mounts"));
  if (!mounts) return {};
  QString device;
  for (const QByteArray& line : mounts->split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() >= 2 && QString::fromUtf8(fields[1]) == mountPoint)
      device = QString::fromUtf8(fields[0]);
  }
  return device;
}

bool OsFacts::processorFlag(const QByteArray& flag) const {
  const std::optional<QByteArray> cpuinfo = sources_.files.read(QStringLiteral("/proc/cpuinfo"));
  if (!cpuinfo) return false;
  for (const QByteArray& line : cpuinfo->split('\n')) {
    if (!line.startsWith("flags")) continue;
    const qsizetype colon = line.indexOf(':');
    return colon >= 0 && line.mid(colon + 1).simplified().split(' ').contains(flag);
  }
  return false;
}

qint64 OsFacts::BuildNumber() const {
  bool ok = false;
  const qint64 build = osRelease("BUILD_ID").toLongLong(&ok);
  return ok ? build : 0;
}
QString OsFacts::BootDevice() const {
  const QString boot = mountedDevice(QStringLiteral("/boot"));
  return boot.isEmpty() ? SystemDevice() : boot;
}
QString OsFacts::BuildType() const {
  return textFact(kernelFile(QStringLiteral("version")));
}
QString OsFacts::Caption() const {
  const QString pretty = osRelease("PRETTY_NAME");
  return textFact(pretty.isEmpty() ? osRelease("NAME") : pretty);
}
QString OsFacts::CodeSet() const {
  return textFact(trimmedFact(QString::fromLatin1(::nl_langinfo(CODESET))));
}
QString OsFacts::CountryCode() const {
  return textFact({});
}
QString OsFacts::CSDVersion() const {
  return textFact({});
}
QString OsFacts::CSName() const {
  return textFact(kernelFile(QStringLiteral("hostname")));
}
qint64 OsFacts::CurrentTimeZone() const {
  return sources_.now().offsetFromUtc() / 60;
}
bool OsFacts::DataExecutionPrevention_Available() const {
  return processorFlag("nx");
}
bool OsFacts::DataExecutionPrevention_32BitApplications() const {
  return false;
}
bool OsFacts::DataExecutionPrevention_Drivers() const {
  return false;
}
qint64 OsFacts::DataExecutionPrevention_SupportPolicy() const {
  return 0;
}
bool OsFacts::Debug() const {
  return false;
}
QString OsFacts::Description() const {
  return textFact({});
}
bool OsFacts::Distributed() const {
  return false;
}
qint64 OsFacts::EncryptionLevel() const {
  return 0;
}
qint64 OsFacts::ForegroundApplicationBoost() const {
  return 0;
}
qint64 OsFacts::FreePhysicalMemory() const {
  return meminfoKilobytes(sources_.files, "MemAvailable").value_or(meminfo("MemFree"));
}
qint64 OsFacts::FreeSpaceInPagingFiles() const {
  return meminfo("SwapFree");
}
QString OsFacts::Caption2() const {
  return Caption();
}
qint64 OsFacts::FreeVirtualMemory() const {
  return FreePhysicalMemory() + FreeSpaceInPagingFiles();
}
QDateTime OsFacts::InstallDate() const {
  return {};
}
QDateTime OsFacts::LastBootUpTime() const {
  const std::optional<QByteArray> stat = sources_.files.read(QStringLiteral("/proc/stat"));
  if (!stat) return {};
  for (const QByteArray& line : stat->split('\n')) {
    if (!line.startsWith("btime ")) continue;
    bool ok = false;
    const qint64 seconds = line.mid(6).trimmed().toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(seconds) : QDateTime();
  }
  return {};
}
QDateTime OsFacts::LocalDateTime() const {
  return sources_.now();
}
QString OsFacts::Locale() const {
  return textFact(sources_.locale.name());
}
QString OsFacts::Manufacturer() const {
  return textFact({});
}
qint64 OsFacts::MaxNumberOfProcesses() const {
  return kernelFile(QStringLiteral("pid_max")).toLongLong();
}
qint64 OsFacts::MaxProcessMemorySize() const {
  return 0;
}
int OsFacts::MUILanguages(QStringList& list) const {
  const QStringList languages = sources_.locale.uiLanguages();
  list += languages;
  return int(languages.size());
}
qint64 OsFacts::NumberOfLicensedUsers() const {
  return 0;
}
qint64 OsFacts::NumberOfProcesses() const {
  qint64 count = 0;
  for (const QString& entry : sources_.files.entries(QStringLiteral("/proc"))) {
    bool number = false;
    entry.toLongLong(&number);
    count += number ? 1 : 0;
  }
  return count;
}
qint64 OsFacts::NumberOfUsers() const {
  return 0;
}
qint64 OsFacts::OperatingSystemSKU() const {
  return 0;
}
QString OsFacts::Organization() const {
  return textFact({});
}
QString OsFacts::OSArchitecture() const {
  return textFact(trimmedFact(sources_.machine()));
}
qint64 OsFacts::OSLanguage() const {
  return 0;
}
qint64 OsFacts::OSProductSuite() const {
  return 0;
}
qint64 OsFacts::OSType() const {
  return kLinuxOsType;
}
bool OsFacts::IsWindowsNt() const {
  return OSType() == kWindowsNtOsType;
}
QString OsFacts::OtherTypeDescription() const {
  return textFact({});
}
bool OsFacts::PAEEnabled() const {
  return processorFlag("pae");
}
QString OsFacts::PlusProductID() const {
  return textFact({});
}
qint64 OsFacts::PlusVersionNumber() const {
  return 0;
}
bool OsFacts::PortableOperatingSystem() const {
  return false;
}
bool OsFacts::Primary() const {
  return false;
}
bool OsFacts::IsServer() const {
  return productTypeOf(sources_.files) == 3;
}
QString OsFacts::RegisteredUser() const {
  return textFact({});
}
QString OsFacts::SerialNumber() const {
  return textFact({});
}
qint64 OsFacts::ServicePackMajorVersion() const {
  return 0;
}
qint64 OsFacts::ServicePackMinorVersion() const {
  return 0;
}
qint64 OsFacts::SizeStoredInPagingFiles() const {
  return meminfo("SwapTotal");
}
QString OsFacts::Status() const {
  return textFact({});
}
qint64 OsFacts::SuiteMask() const {
  return 0;
}
QString OsFacts::SystemDevice() const {
  return textFact(mountedDevice(QStringLiteral("/")));
}
QString OsFacts::SystemDirectory() const {
  return textFact({});
}
QString OsFacts::SystemDrive() const {
  return textFact({});
}
qint64 OsFacts::TotalSwapSpaceSize() const {
  return meminfo("SwapTotal");
}
qint64 OsFacts::TotalVirtualMemorySize() const {
  return meminfo("MemTotal") + meminfo("SwapTotal");
}
qint64 OsFacts::TotalVisibleMemorySize() const {
  return meminfo("MemTotal");
}
QString OsFacts::Version() const {
  return textFact(osRelease("VERSION_ID"));
}
QString OsFacts::WindowsDirectory() const {
  return textFact({});
}
bool OsFacts::IsDomainController() const {
  return productTypeOf(sources_.files) == 2;
}
bool OsFacts::IsWorkstation() const {
  return productTypeOf(sources_.files) == 1;
}
QString OsFacts::UserName() const {
  return trimmedFact(sources_.userName());
}

// /etc/timezone names the zone on Debian; elsewhere /etc/localtime links into the zone database.
QString OsFacts::TimeZoneName() const {
  QString named = trimmedFact(sources_.files.firstLine(QStringLiteral("/etc/timezone")));
  if (!named.isEmpty()) return named;
  const QString target = sources_.files.linkTarget(QStringLiteral("/etc/localtime"));
  const qsizetype at = target.indexOf(QStringLiteral("zoneinfo/"));
  return at < 0 ? QString() : target.mid(at + 9);
}
QString OsFacts::CurrencySymbol() const {
  return sources_.locale.currencySymbol();
}
QString OsFacts::LongDateFormat() const {
  return sources_.locale.dateFormat(QLocale::LongFormat);
}
QString OsFacts::TimeFormat() const {
  return timePicture(sources_.locale.timeFormat(QLocale::LongFormat));
}

}  // namespace pimrose
