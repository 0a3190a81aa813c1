#pragma once

#include <functional>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "system/system_files.h"

namespace pimrose {

// Where the facts come from: the system's files, plus what only a system call can tell.
struct OsFactSources {
  SystemFiles files;
  std::function<QString()> machine;   // the processor architecture (uname)
  std::function<QString()> userName;  // the effective user in the password database
  QLocale locale;
  std::function<QDateTime()> now;
};

// The running machine's sources: its files (below "/" unless a test says otherwise) and the calls of
// this process.
OsFactSources systemOsFactSources(SystemFiles files = SystemFiles());

// Facts about the running system, one method each. A fact with no source on this system, or whose
// source cannot be read, answers what a failed read gives for its kind: 0, false, an invalid date,
// and for a text the number 0 as text, "0". (The user name, time-zone name and locale texts are no
// such reads: they answer an empty text.) Texts come back without surrounding spaces (ASCII and
// full-width). Memory sizes are in kilobytes. No method waits on more than a file read.
//
// One object is made at program start and lives for the run; the load sampler reads memory through it.
class OsFacts {
 public:
  explicit OsFacts(OsFactSources sources = systemOsFactSources());

  qint64 BuildNumber() const;
  QString BootDevice() const;
  QString BuildType() const;
  QString Caption() const;
  QString CodeSet() const;
  QString CountryCode() const;
  QString CSDVersion() const;
  QString CSName() const;
  qint64 CurrentTimeZone() const;  // minutes east of UTC
  bool DataExecutionPrevention_Available() const;
  bool DataExecutionPrevention_32BitApplications() const;
  bool DataExecutionPrevention_Drivers() const;
  qint64 DataExecutionPrevention_SupportPolicy() const;
  bool Debug() const;
  QString Description() const;
  bool Distributed() const;
  qint64 EncryptionLevel() const;
  qint64 ForegroundApplicationBoost() const;
  qint64 FreePhysicalMemory() const;
  qint64 FreeSpaceInPagingFiles() const;
  QString Caption2() const;
  qint64 FreeVirtualMemory() const;
  QDateTime InstallDate() const;
  QDateTime LastBootUpTime() const;
  QDateTime LocalDateTime() const;
  QString Locale() const;
  QString Manufacturer() const;
  qint64 MaxNumberOfProcesses() const;
  qint64 MaxProcessMemorySize() const;
  // Appends the user interface languages to the list (which is not emptied) and answers how many.
  int MUILanguages(QStringList& list) const;
  qint64 NumberOfLicensedUsers() const;
  qint64 NumberOfProcesses() const;
  qint64 NumberOfUsers() const;
  qint64 OperatingSystemSKU() const;
  QString Organization() const;
  QString OSArchitecture() const;
  qint64 OSLanguage() const;
  qint64 OSProductSuite() const;
  qint64 OSType() const;  // 36: Linux in the common information model's list of systems
  bool IsWindowsNt() const;
  QString OtherTypeDescription() const;
  bool PAEEnabled() const;
  QString PlusProductID() const;
  qint64 PlusVersionNumber() const;
  bool PortableOperatingSystem() const;
  bool Primary() const;
  bool IsServer() const;
  QString RegisteredUser() const;
  QString SerialNumber() const;
  qint64 ServicePackMajorVersion() const;
  qint64 ServicePackMinorVersion() const;
  qint64 SizeStoredInPagingFiles() const;
  QString Status() const;
  qint64 SuiteMask() const;
  QString SystemDevice() const;
  QString SystemDirectory() const;
  QString SystemDrive() const;
  qint64 TotalSwapSpaceSize() const;
  qint64 TotalVirtualMemorySize() const;
  qint64 TotalVisibleMemorySize() const;
  QString Version() const;
  QString WindowsDirectory() const;
  bool IsDomainController() const;
  bool IsWorkstation() const;
  QString UserName() const;
  QString TimeZoneName() const;
  QString CurrencySymbol() const;
  QString LongDateFormat() const;
  // The locale's time picture (h, H, mm, ss, tt), without the time zone its long format shows.
  QString TimeFormat() const;

 private:
  QString osRelease(const QByteArray& key) const;
  QString kernelFile(const QString& name) const;
  qint64 meminfo(const QByteArray& key) const;
  QString mountedDevice(const QString& mountPoint) const;
  bool processorFlag(const QByteArray& flag) const;

  OsFactSources sources_;
};

// Surrounding ASCII and full-width spaces removed.
QString trimmedFact(const QString& text);

}  // namespace pimrose
