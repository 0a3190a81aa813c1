#include "time_texts/automation_date.h"

#include <cmath>

#include <QDateTime>

namespace pimrose {
namespace {

constexpr double kSecondsPerDay = 86'400;
constexpr double kFirstDay = -657'434;  // 0100-01-01
constexpr double kEndDay = 2'958'466;   // 10000-01-01

QDate dayZero() {
  return QDate(1899, 12, 30);
}

}  // namespace

AutomationDate automationDateOf(const LocalDateTime& local) {
  const double days = double(dayZero().daysTo(local.date));
  const int wholeSeconds = local.time.msecsSinceStartOfDay() / 1000;  // milliseconds are dropped
  const double fraction = double(wholeSeconds) / kSecondsPerDay;
  return days < 0 ? days - fraction : days + fraction;
}

std::optional<LocalDateTime> localDateTimeOf(AutomationDate date) {
  if (!std::isfinite(date) || date < kFirstDay || date >= kEndDay) return std::nullopt;
  double days = std::trunc(date);
  // Dates are rarely exact in binary (14:05:09 is not): round to the second, not down.
  qint64 seconds = std::llround(std::fabs(date - days) * kSecondsPerDay);
  if (seconds == qint64(kSecondsPerDay)) {
    seconds = 0;
    days += date < 0 ? -1 : 1;
  }
  const QDate day = dayZero().addDays(qint64(days));
  if (day.year() > 9999) return std::nullopt;
  return LocalDateTime{day, QTime::fromMSecsSinceStartOfDay(int(seconds * 1000))};
}

AutomationDate currentAutomationDate() {
  const QDateTime now = QDateTime::currentDateTime();
  return automationDateOf({now.date(), now.time()});
}

}  // namespace pimrose
