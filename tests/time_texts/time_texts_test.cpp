#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include "time_texts/automation_date.h"
#include "time_texts/date_time_pattern.h"
#include "time_texts/date_time_text.h"
#include "time_texts/duration_text.h"
#include "time_texts/uptime_tip.h"

namespace pimrose {
namespace {

AutomationDate at(int y, int mo, int d, int h, int mi, int s) {
  return automationDateOf({QDate(y, mo, d), QTime(h, mi, s)});
}

TEST(DurationTextTest, LaysValuesIntoThePattern) {
  struct Case {
    qint32 seconds;
    QString pattern;
    bool zeroPad;
    QString expected;
  };
  const Case cases[] = {
      {0, {}, false, QStringLiteral("0天0小时0分0秒")},
      {0, {}, true, QStringLiteral("00天00小时00分00秒")},
      {90061, {}, false, QStringLiteral("1天1小时1分1秒")},
      {86399, {}, false, QStringLiteral("0天23小时59分59秒")},
      {123 * 86400 + 5, {}, true, QStringLiteral("123天00小时00分05秒")},
      {100 * 86400, {}, false, QStringLiteral("100天0小时0分0秒")},
      {5 * 3600 + 30 * 60, QStringLiteral("hh:mm"), false, QStringLiteral("h5:m30")},  // last letters only
      {3725, QStringLiteral("h:m:s"), true, QStringLiteral("01:02:05")},
      {3725, QStringLiteral("ABC:XYZ"), false, QStringLiteral("ABC:XYZ")},
      // The day count fills "d" first, and the hour search then sees the digits, not a letter.
      {90061, QStringLiteral("s m h d"), false, QStringLiteral("1 1 1 1")},
      {-90061, {}, false, QStringLiteral("-1天-1小时-1分-1秒")},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DurationText(c.seconds, c.pattern, c.zeroPad), c.expected)
        << c.seconds << " " << c.pattern.toStdString();
  EXPECT_EQ(DurationText(61, QString()), DurationText(61));
}

TEST(DurationTextTest, ZeroPadOnlyLengthens) {
  EXPECT_EQ(ZeroPad(QStringLiteral("7"), 2), QStringLiteral("07"));
  EXPECT_EQ(ZeroPad(QStringLiteral("123"), 2), QStringLiteral("123"));
  EXPECT_EQ(ZeroPad(QString(), 3), QStringLiteral("000"));
}

TEST(DurationTextTest, UptimeTipDoesNotStartAgainAfter49Days) {
  EXPECT_EQ(UptimeTipText((2 * 86400 + 3 * 3600 + 25 * 60 + 7) * 1000ull + 999),
            QStringLiteral("电脑已运行：\r\n2天3小时25分7秒"));
  // 2^32 ms is where a 32-bit tick count would have started again from zero.
  EXPECT_EQ(UptimeTipText(4294967296ull), QStringLiteral("电脑已运行：\r\n49天17小时2分47秒"));
}

TEST(DateTimeTextTest, ModesAndSeparators) {
  const AutomationDate date = at(2024, 3, 7, 9, 5, 3);
  EXPECT_EQ(DateTimeText(date), QStringLiteral("09:05:03"));
  EXPECT_EQ(DateTimeText(date, QStringLiteral("-"), QStringLiteral(":"), 2), QStringLiteral("2024-03-07"));
  EXPECT_EQ(DateTimeText(date, QStringLiteral("-"), QStringLiteral(":"), 3),
            QStringLiteral("2024-03-07 09:05:03"));
  EXPECT_EQ(DateTimeText(date, QStringLiteral("-"), QStringLiteral(":"), 4),
            QStringLiteral("2024-03-0709:05:03"));
  EXPECT_EQ(DateTimeText(date, QStringLiteral("/"), QStringLiteral(":"), 2), QStringLiteral("2024/03/07"));
  EXPECT_EQ(DateTimeText(date, QString(), QString(), 3), QStringLiteral("20240307 090503"));
  EXPECT_EQ(DateTimeText(date, QStringLiteral("-"), QStringLiteral(":"), 0), QString());
  EXPECT_EQ(DateTimeText(date, QStringLiteral("-"), QStringLiteral(":"), 5), QString());
  EXPECT_EQ(DateTimeText(1e9), QString());  // beyond the year 9999
}

TEST(AutomationDateTest, ConvertsBothWaysAroundDayZero) {
  struct Case {
    AutomationDate value;
    QDate date;
    QTime time;
  };
  const Case cases[] = {
      {0.0, QDate(1899, 12, 30), QTime(0, 0)},
      {-1.25, QDate(1899, 12, 29), QTime(6, 0)},  // the fraction counts forward from midnight
      {45358.37850694444, QDate(2024, 3, 7), QTime(9, 5, 3)},
      {45322.586909722224, QDate(2024, 1, 31), QTime(14, 5, 9)},
      {45322.99999999, QDate(2024, 2, 1), QTime(0, 0)},  // rounds to the nearest second
  };
  for (const Case& c : cases) {
    const auto local = localDateTimeOf(c.value);
    ASSERT_TRUE(local) << c.value;
    EXPECT_EQ(local->date, c.date) << c.value;
    EXPECT_EQ(local->time, c.time) << c.value;
    if (c.value != 45322.99999999) {
      EXPECT_NEAR(automationDateOf(*local), c.value, 1e-9);
    }
  }
  EXPECT_FALSE(localDateTimeOf(std::nan("")));
  EXPECT_FALSE(localDateTimeOf(-700000));
  EXPECT_FALSE(localDateTimeOf(3e6));
}

// Every style and part on a 24-hour clock, and the 12-hour clock without a marker.
TEST(DateTimePatternTest, StylesPartsAndClocks) {
  const AutomationDate date = at(2024, 1, 31, 14, 5, 9);
  struct Case {
    int style;
    int part;
    int clock;
    QString expected;
  };
  const Case cases[] = {
      {0, 0, kClock24Hour, QStringLiteral("2024年01月31日 14时05分09秒")},
      {1, 0, kClock24Hour, QStringLiteral("2024-01-31 14:05:09")},
      {2, 0, kClock24Hour, QStringLiteral("2024/01/31 14/05/09")},
      {3, 0, kClock24Hour, QStringLiteral("20240131140509")},
      {7, 0, kClock24Hour, QStringLiteral("2024年01月31日 14时05分09秒")},  // unknown style = 0
      {-1, 1, kClock24Hour, QStringLiteral("2024年01月31日")},
      {1, 1, kClock24Hour, QStringLiteral("2024-01-31")},
      {1, 2, kClock24Hour, QStringLiteral("01-31")},
      {1, 3, kClock24Hour, QStringLiteral("14:05:09")},
      {1, 4, kClock24Hour, QStringLiteral("14:05")},
      {1, 5, kClock24Hour, QStringLiteral("05:09")},
      {1, 6, kClock24Hour, QStringLiteral("2024-01-31 14:05:09")},  // unknown part = 0
      {1, 0, kClock12Hour, QStringLiteral("2024-01-31 02:05:09")},
      {0, 3, kClock12Hour, QStringLiteral("02时05分09秒")},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DateTimePatternText(date, c.style, c.part, c.clock), c.expected) << c.style << "/" << c.part;
  EXPECT_EQ(DateTimePatternText(at(2024, 1, 31, 0, 30, 0), 1, 3, kClock12Hour), QStringLiteral("12:30:00"));
  EXPECT_EQ(DateTimePatternText(at(2024, 1, 31, 12, 30, 0), 1, 3, kClock12Hour), QStringLiteral("12:30:00"));
  EXPECT_EQ(DateTimePatternText(1e9), QString());
}

TEST(DateTimePatternTest, ClockFollowsTheLocale) {
  const AutomationDate date = at(2024, 1, 31, 14, 5, 9);
  const QLocale twelve(QLocale::English, QLocale::UnitedStates);
  const QLocale twentyFour(QLocale::Chinese, QLocale::China);
  ASSERT_TRUE(uses12HourClock(twelve));
  ASSERT_FALSE(uses12HourClock(twentyFour));
  EXPECT_EQ(DateTimePatternText(date, 1, 0, kClockFromLocale, twelve), QStringLiteral("2024-01-31 02:05:09"));
  EXPECT_EQ(DateTimePatternText(date, 1, 0, kClockFromLocale, twentyFour),
            QStringLiteral("2024-01-31 14:05:09"));
  EXPECT_EQ(DateTimePatternText(date, 1, 0, 9, twelve), QStringLiteral("2024-01-31 02:05:09"));
  EXPECT_EQ(DateTimePatternText(date, 1, 0, kClock24Hour, twelve), QStringLiteral("2024-01-31 14:05:09"));
}

TEST(DateTimePatternTest, OmittedDateIsNow) {
  const QString before = DateTimeText(currentAutomationDate(), QStringLiteral("-"), QStringLiteral(":"), 2);
  const QString text = DateTimePatternText(std::nullopt, 1, 1);
  const QString after = DateTimeText(currentAutomationDate(), QStringLiteral("-"), QStringLiteral(":"), 2);
  EXPECT_TRUE(text == before || text == after) << text.toStdString();
}

}  // namespace
}  // namespace pimrose
