#pragma once

#include <QString>

#include "time_texts/automation_date.h"

namespace pimrose {

// A date as text with chosen separators. Month, day, hour, minute and second have two digits; the
// year is written as it is.
//   mode 1: time (‹14:05:09›)   mode 2: date (‹2024-03-07›)
//   mode 3: date, a space, time   mode 4: date directly followed by time   other modes: empty
// An explicitly empty separator stays empty. A date outside the years 100 to 9999 gives the empty text.
QString DateTimeText(AutomationDate value, const QString& dateSeparator = QStringLiteral("-"),
                     const QString& timeSeparator = QStringLiteral(":"), int mode = 1);

}  // namespace pimrose
