#pragma once

#include <optional>

#include <QLocale>
#include <QString>

#include "time_texts/automation_date.h"

namespace pimrose {

// A moment as the file system records it: seconds and nanoseconds since 1970-01-01 00:00 UTC.
struct FileTime {
  qint64 seconds = 0;
  qint32 nanoseconds = 0;
};

struct FileTimes {
  FileTime creation;  // the birth time where the file system records it, else the last write
  FileTime lastAccess;
  FileTime lastWrite;
};

// The three times of the file at `path`; std::nullopt when it is missing or a folder.
std::optional<FileTimes> fileTimesOf(const QString& path);

// A file time as a date in local time (with the time zone's offset at that moment); milliseconds are
// dropped.
AutomationDate FileTimeToDate(const FileTime& time);

// The three times as texts (style 1, part 0 of DateTimePatternText; the clock as `locale` says).
// Answers false, leaving the texts as they are, when the times cannot be read.
bool ReadFileTimes(const QString& path, QString& creation, QString& lastWrite, QString& lastAccess,
                   const QLocale& locale = QLocale::system());

}  // namespace pimrose
