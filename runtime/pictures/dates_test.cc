// Tests of the day count, the time unit, TODAY/CLOCK and AGE.
#include "runtime/pictures/dates.h"

#include <gtest/gtest.h>

#include <chrono>

#include "runtime/os/os.h"

namespace kor {
namespace {

// Independent civil calendar (H. Hinnant's days_from_civil): days since
// 1970-01-01 of a proleptic Gregorian date.
int64_t CivilDays(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

const int64_t kDay4Civil = CivilDays(1801, 1, 1);

TEST(Dates, EveryDayRoundTripsAgainstIndependentCalendar) {
  // Walk the calendar independently, one day at a time.
  int64_t y = 1801;
  unsigned m = 1, d = 1;
  const unsigned lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int failures = 0;
  for (int32_t n = kFirstDay; n <= kLastDay; ++n) {
    ASSERT_EQ(CivilDays(y, m, d) - kDay4Civil + 4, n);
    DateParts p;
    if (DateToParts(n, &p) != 0 || p.year != y || p.month != static_cast<int>(m) ||
        p.day != static_cast<int>(d) || DateFromParts(p.month, p.day, p.year) != n) {
      if (++failures < 5) ADD_FAILURE() << "day " << n;
    }
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    unsigned len = (m == 2 && leap) ? 29 : lengths[m - 1];
    if (++d > len) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(y, 10000);
}

TEST(Dates, ChronoAgreesOnLandmarks) {
  using namespace std::chrono;
  const sys_days base = year{1801} / January / 1;
  for (auto ymd : {year{1900} / February / 28, year{2000} / February / 29,
                   year{2026} / December / 25, year{9999} / December / 31}) {
    int32_t expected = static_cast<int32_t>((sys_days(ymd) - base).count()) + 4;
    EXPECT_EQ(DateFromParts(static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                            static_cast<int>(ymd.year())),
              expected);
  }
}

TEST(Dates, RangeEnds) {
  DateParts p;
  EXPECT_EQ(DateToParts(3, &p), -1);
  EXPECT_EQ(p.year, 0);
  EXPECT_EQ(DateToParts(0, &p), -1);
  EXPECT_EQ(DateToParts(kLastDay + 1, &p), -1);
  EXPECT_EQ(DateToParts(-5, &p), -1);
  ASSERT_EQ(DateToParts(kLastDay, &p), 0);
  EXPECT_EQ(p.year, 9999);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 31);
  EXPECT_EQ(DateFromParts(12, 31, 9999), kLastDay);
  EXPECT_EQ(DateFromParts(1, 1, 10000), -1);
  EXPECT_EQ(DateFromParts(12, 31, 1800), -1);
}

TEST(Dates, LeapYearsAndRollOver) {
  EXPECT_GT(DateFromParts(2, 29, 2000), 0);
  EXPECT_EQ(ValidateDate(2, 29, 1900), -1);
  EXPECT_EQ(ValidateDate(2, 29, 2100), -1);
  EXPECT_EQ(ValidateDate(2, 29, 2000), 0);
  EXPECT_EQ(ValidateDate(2, 29, 2024), 0);
  EXPECT_EQ(ValidateDate(0, 1, 2024), -1);
  EXPECT_EQ(ValidateDate(1, 0, 2024), -1);
  EXPECT_EQ(ValidateDate(4, 31, 2024), -1);
  EXPECT_EQ(DateFromParts(0, 1, 2023), -1);
  EXPECT_EQ(DateFromParts(1, 0, 2023), -1);
  EXPECT_EQ(DateFromParts(1, 2000000000, 2023), -1);
  EXPECT_EQ(DateFromParts(2000000000, 1, 2023), -1);
  // Day counts worked out by hand from day 4 = 1 January 1801: 1 January
  // 1900 is 4 + 99 * 365 + 24 leap days (1804 .. 1896) = 36163, 1 January
  // 2000 is 36163 + 100 * 365 + 24 = 72687. Every roll-over step uses the
  // lengths of the year it is in; 1900 and 2100 are common years.
  struct Case {
    int32_t month, day, year, expected;
  } cases[] = {
      {1, 1, 1900, 36163},   {12, 31, 1900, 36527},    {1, 365, 1900, 36527},
      {1, 60, 1900, 36222},  {2, 29, 1900, 36222},     {3, 1, 1900, 36222},
      {2, 30, 1900, 36223},  {1, 1, 2000, 72687},      {2, 29, 2000, 72746},
      {2, 29, 2100, 109271}, {3, 1, 2100, 109271},     {12, 91, 2024, 81878},
      {14, 29, 2023, 81512}, {2, 29, 2024, 81512},     {13, 1, 2023, 81453},
      {1, 1, 2024, 81453},   {12, 32, 2023, 81453},    {2, 29, 2023, 81147},
      {1, 32, 2023, 81119},  {25, 1, 2023, 81819},     {1, 366, 2024, 81818},
      {1, 367, 2024, 81819}, {12, 31, 9999, kLastDay}, {1, 1, 1801, kFirstDay},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateFromParts(c.month, c.day, c.year), c.expected)
        << c.month << "/" << c.day << "/" << c.year;
  }
}

TEST(Dates, ComponentsAndWeekDay) {
  int32_t xmas = DateFromParts(12, 25, 2026);
  EXPECT_EQ(DAY(xmas), 25);
  EXPECT_EQ(MONTH(xmas), 12);
  EXPECT_EQ(YEAR(xmas), 2026);
  EXPECT_EQ(WeekDay(xmas), 5);  // a Friday
  EXPECT_EQ(WeekDay(kFirstDay), 4);
  EXPECT_EQ(DAY(0), 0);
  EXPECT_EQ(WeekDay(0), -1);
}

TEST(Dates, CenturyWindow) {
  EXPECT_EQ(ExpandYearFrom(46, 80, 2026), 1946);
  EXPECT_EQ(ExpandYearFrom(45, 80, 2026), 2045);
  EXPECT_EQ(ExpandYearFrom(60, 80, 2026), 1960);
  EXPECT_EQ(ExpandYearFrom(60, 19, 2026), 2060);
  EXPECT_EQ(ExpandYearFrom(7, 19, 2026), 2007);
  EXPECT_EQ(ExpandYearFrom(6, 19, 2026), 2106);
  EXPECT_EQ(ExpandYearFrom(26, 0, 2026), 2026);
  EXPECT_EQ(ExpandYearFrom(25, 0, 2026), 2125);
  EXPECT_EQ(ExpandYearFrom(1999, 80, 2026), 1999);
  SetCurrentYearForTesting(2026);
  EXPECT_EQ(DateFromParts(1, 1, 46), 52964);  // 1 January 1946
  EXPECT_EQ(DateFromParts(1, 1, 45), 89124);  // 1 January 2045
  SetCurrentYearForTesting(0);
}

TEST(Times, PartsAndLimits) {
  TimeParts t;
  EXPECT_EQ(TimeFromParts(24, 0, 0, 0), -1);
  EXPECT_EQ(TimeFromParts(0, 60, 0, 0), -1);
  EXPECT_EQ(TimeFromParts(0, 0, 60, 0), -1);
  EXPECT_EQ(TimeFromParts(0, 0, 0, 100), -1);
  EXPECT_EQ(TimeFromParts(0, 0, 0, 0), 0);
  EXPECT_EQ(TimeFromParts(0, 0, 0, 1), 2);
  EXPECT_EQ(TimeFromParts(23, 59, 59, 99), kLastTime);
  ASSERT_EQ(TimeToParts(kLastTime, &t), 0);
  EXPECT_EQ(t.hours, 23);
  EXPECT_EQ(t.minutes, 59);
  EXPECT_EQ(t.seconds, 59);
  EXPECT_EQ(t.hundredths, 99);
  EXPECT_EQ(TimeToParts(1, &t), 0);
  EXPECT_EQ(t.hours + t.minutes + t.seconds + t.hundredths, 0);
  EXPECT_EQ(TimeToParts(0, &t), -1);
  EXPECT_EQ(TimeToParts(kLastTime + 1, &t), -1);
  EXPECT_EQ(t.hours, 0);
  for (int32_t v = 1; v <= kLastTime; v += 4513) {
    ASSERT_EQ(TimeToParts(v, &t), 0);
    EXPECT_EQ(TimeFromParts(t.hours, t.minutes, t.seconds, t.hundredths), v == 1 ? 0 : v);
  }
}

TEST(Clock, TodayAndClockFollowTheSystem) {
  OsClock before = OsLocalTime();
  int32_t today = TODAY();
  int32_t clock = CLOCK();
  DateParts p;
  ASSERT_EQ(DateToParts(today, &p), 0);
  if (before.hour == 23 && before.minute == 59) GTEST_SKIP() << "midnight race";
  EXPECT_EQ(p.year, before.year);
  EXPECT_EQ(p.month, before.month);
  EXPECT_EQ(p.day, before.day);
  EXPECT_GE(clock, before.hour * 360000 + before.minute * 6000 + 1);
  EXPECT_LE(clock, kLastTime);
  EXPECT_EQ(CurrentYear(), before.year);
}

TEST(Age, DaysMonthsYears) {
  int32_t base = DateFromParts(6, 15, 2026);
  EXPECT_EQ(AgeText(base - 10, base), "10 DAYS");
  EXPECT_EQ(AgeText(base, base), "0 DAYS");
  EXPECT_EQ(AgeText(base - 60, base), "60 DAYS");
  EXPECT_EQ(AgeText(DateFromParts(4, 16, 2026), base), "60 DAYS");
  EXPECT_EQ(AgeText(DateFromParts(4, 15, 2026), base), "2 MOS");
  EXPECT_EQ(AgeText(DateFromParts(4, 14, 2026), base), "2 MOS");
  EXPECT_EQ(AgeText(DateFromParts(6, 16, 2024), base), "23 MOS");
  EXPECT_EQ(AgeText(DateFromParts(6, 15, 2024), base), "2 YRS");
  EXPECT_EQ(AgeText(DateFromParts(6, 15, 2021), base), "5 YRS");
  EXPECT_EQ(AgeText(TODAY() - 10, -1), "10 DAYS");
  // A birth date after the base goes back a century.
  EXPECT_EQ(AgeText(DateFromParts(6, 15, 2050), base), "76 YRS");
  EXPECT_EQ(AgeText(0, base), std::string(255, '*'));
  EXPECT_EQ(AgeText(DateFromParts(1, 1, 2200), base), std::string(255, '*'));
  // 29 February 2000 has no counterpart in 1900.
  EXPECT_EQ(AgeText(DateFromParts(2, 29, 2000), DateFromParts(1, 1, 1999)), std::string(255, '*'));
}

}  // namespace
}  // namespace kor
