#include "time_texts/date_time_pattern.h"

#include <QStringView>

namespace pimrose {

const std::array<DateTimePatternRow, 4> DateTimePatterns = {{
    {u"yyyy年MM月dd日 ", u"MM月dd日", u"hh时mm分ss秒", u"hh时mm分", u"mm分ss秒"},
    {u"yyyy-MM-dd ", u"MM-dd", u"hh:mm:ss", u"hh:mm", u"mm:ss"},
    {u"yyyy/MM/dd ", u"MM/dd", u"hh/mm/ss", u"hh/mm", u"mm/ss"},
    {u"yyyyMMdd", u"MMdd", u"hhmmss", u"hhmm", u"mmss"},
}};

namespace {

struct Pictures {
  QString date;
  QString time;
};

Pictures picturesFor(int style, int part) {
  const DateTimePatternRow& row = DateTimePatterns[style >= 0 && style <= 3 ? style : 0];
  switch (part) {
    case 1:
      return {QString::fromUtf16(row.date).trimmed(), {}};
    case 2:
      return {QString::fromUtf16(row.monthDay), {}};
    case 3:
      return {{}, QString::fromUtf16(row.time)};
    case 4:
      return {{}, QString::fromUtf16(row.hourMinute)};
    case 5:
      return {{}, QString::fromUtf16(row.minuteSecond)};
    default:
      return {QString::fromUtf16(row.date), QString::fromUtf16(row.time)};
  }
}

QString number(int value, qsizetype codeLength, int width) {
  return QString::number(value).rightJustified(codeLength >= 2 ? width : 0, u'0');
}

int twelveHour(int hour) {
  return hour % 12 == 0 ? 12 : hour % 12;
}

// The value of one run of a picture code, or a null string when `code` is no code of this picture.
QString dateCode(QChar code, qsizetype length, QDate date) {
  switch (code.unicode()) {
    case u'y':
      return length <= 2 ? number(date.year() % 100, length, 2) : number(date.year(), length, 4);
    case u'M':
      return number(date.month(), length, 2);
    case u'd':
      return number(date.day(), length, 2);
    default:
      return {};
  }
}

QString timeCode(QChar code, qsizetype length, QTime time) {
  switch (code.unicode()) {
    case u'h':
      return number(twelveHour(time.hour()), length, 2);
    case u'H':
      return number(time.hour(), length, 2);
    case u'm':
      return number(time.minute(), length, 2);
    case u's':
      return number(time.second(), length, 2);
    default:
      return {};
  }
}

template <typename CodeValue>
QString format(QStringView picture, const CodeValue& codeValue) {
  QString out;
  for (qsizetype i = 0; i < picture.size();) {
    qsizetype run = 1;
    while (i + run < picture.size() && picture[i + run] == picture[i]) ++run;
    const QString value = codeValue(picture[i], run);
    out += value.isNull() ? picture.sliced(i, run).toString() : value;
    i += run;
  }
  return out;
}

bool isTwelveHour(int clock, const QLocale& locale) {
  if (clock == kClock12Hour) return true;
  if (clock == kClock24Hour) return false;
  return uses12HourClock(locale);
}

}  // namespace

bool uses12HourClock(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::ShortFormat);
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && (c == u'a' || c == u'A')) return true;
  }
  return false;
}

QString DateTimePatternText(std::optional<AutomationDate> date, int style, int part, int clock,
                            const QLocale& locale) {
  const auto local = localDateTimeOf(date.value_or(currentAutomationDate()));
  if (!local) return {};
  Pictures pictures = picturesFor(style, part);
  if (!isTwelveHour(clock, locale)) pictures.time.replace(QStringLiteral("hh"), QStringLiteral("HH"));
  const QString dateText = format(
      pictures.date, [&](QChar code, qsizetype length) { return dateCode(code, length, local->date); });
  const QString timeText = format(
      pictures.time, [&](QChar code, qsizetype length) { return timeCode(code, length, local->time); });
  return dateText + timeText;
}

}  // namespace pimrose
