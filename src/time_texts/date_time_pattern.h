#pragma once

#include <array>
#include <optional>

#include <QLocale>
#include <QString>

#include "time_texts/automation_date.h"

namespace pimrose {

// One row of date and time pictures. The letters are picture codes: yyyy year, MM month, dd day (date
// pictures); hh hour on a 12-hour clock, HH hour on a 24-hour clock, mm minute, ss second (time
// pictures). Every other character is copied as it is.
struct DateTimePatternRow {
  const char16_t* date;
  const char16_t* monthDay;
  const char16_t* time;
  const char16_t* hourMinute;
  const char16_t* minuteSecond;
};

// Styles 0 to 3. The date pictures of styles 0 to 2 end in the space that parts date and time.
extern const std::array<DateTimePatternRow, 4> DateTimePatterns;

// Clock choice for DateTimePatternText.
inline constexpr int kClockFromLocale = 0;
inline constexpr int kClock12Hour = 1;
inline constexpr int kClock24Hour = 2;

// Whether the locale writes times on a 12-hour clock (its short time format shows an AM/PM marker).
bool uses12HourClock(const QLocale& locale);

// A date (default: now) as text by style (0 to 3; anything else counts as 0) and part:
//   0 (and anything outside 1 to 5) date and time, 1 date only (without the separating space),
//   2 month and day, 3 time, 4 hour and minute, 5 minute and second.
// clock: 1 12-hour, 2 24-hour, anything else as `locale` says. A 12-hour time carries no AM/PM marker.
// A date outside the years 100 to 9999 gives the empty text.
QString DateTimePatternText(std::optional<AutomationDate> date = std::nullopt, int style = 0, int part = 0,
                            int clock = kClockFromLocale, const QLocale& locale = QLocale::system());

}  // namespace pimrose
