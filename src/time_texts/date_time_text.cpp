#include "time_texts/date_time_text.h"

#include "time_texts/duration_text.h"

namespace pimrose {
namespace {

QString twoDigits(int value) {
  return ZeroPad(QString::number(value), 2);
}

}  // namespace

QString DateTimeText(AutomationDate value, const QString& dateSeparator, const QString& timeSeparator,
                     int mode) {
  if (mode < 1 || mode > 4) return {};
  const auto local = localDateTimeOf(value);
  if (!local) return {};
  const QDate& d = local->date;
  const QTime& t = local->time;
  QString date =
      QString::number(d.year()) + dateSeparator + twoDigits(d.month()) + dateSeparator + twoDigits(d.day());
  QString time =
      twoDigits(t.hour()) + timeSeparator + twoDigits(t.minute()) + timeSeparator + twoDigits(t.second());
  switch (mode) {
    case 1:
      return time;
    case 2:
      return date;
    case 3:
      return date + u' ' + time;
    default:
      return date + time;
  }
}

}  // namespace pimrose
