#include "platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QDateTime>

#include "text/file_names.h"
#include "time_texts/date_time_pattern.h"

namespace pimrose {
namespace {

FileTime fileTime(const struct statx_timestamp& stamp) {
  return {qint64(stamp.tv_sec), qint32(stamp.tv_nsec)};
}

}  // namespace

std::optional<FileTimes> fileTimesOf(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  struct statx info {};
  const unsigned mask = STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
  if (statx(AT_FDCWD, encodeFileName(path).constData(), 0, mask, &info) != 0) return std::nullopt;
  if (S_ISDIR(info.stx_mode)) return std::nullopt;
  FileTimes times;
  times.lastAccess = fileTime(info.stx_atime);
  times.lastWrite = fileTime(info.stx_mtime);
  times.creation = (info.stx_mask & STATX_BTIME) ? fileTime(info.stx_btime) : times.lastWrite;
  return times;
}

AutomationDate FileTimeToDate(const FileTime& time) {
  const QDateTime local = QDateTime::fromSecsSinceEpoch(time.seconds, Qt::LocalTime);
  return automationDateOf({local.date(), local.time()});
}

bool ReadFileTimes(const QString& path, QString& creation, QString& lastWrite, QString& lastAccess,
                   const QLocale& locale) {
  const auto times = fileTimesOf(path);
  if (!times) return false;
  const auto text = [&locale](const FileTime& time) {
    return DateTimePatternText(FileTimeToDate(time), 1, 0, kClockFromLocale, locale);
  };
  creation = text(times->creation);
  lastWrite = text(times->lastWrite);
  lastAccess = text(times->lastAccess);
  return true;
}

}  // namespace pimrose
