#pragma once

#include <optional>

#include <QDate>
#include <QTime>

namespace pimrose {

// Dates as the program passes them around: days since 1899-12-30 00:00 local time in a double, the
// time of day in the fraction. Before that day the fraction still counts forward from midnight:
// -1.25 is 1899-12-29 06:00.
using AutomationDate = double;

struct LocalDateTime {
  QDate date;
  QTime time;  // whole seconds
};

// Milliseconds are dropped.
AutomationDate automationDateOf(const LocalDateTime& local);
// The calendar fields of a date, rounded to the nearest second; std::nullopt outside the years 100 to
// 9999, and for NaN or infinity.
std::optional<LocalDateTime> localDateTimeOf(AutomationDate date);
AutomationDate currentAutomationDate();

}  // namespace pimrose
