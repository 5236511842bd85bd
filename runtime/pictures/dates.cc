// Day-count and time-unit arithmetic behind DATE, TIME, TODAY, CLOCK and AGE.
#include "runtime/pictures/dates.h"

#include <cstdio>

#include "runtime/os/os.h"

namespace kor {

namespace {

// Days before each month in a common year.
constexpr int32_t kDaysBeforeMonth[13] = {0,   31,  59,  90,  120, 151, 181,
                                          212, 243, 273, 304, 334, 365};
constexpr int32_t kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Leap days in the years 1..y.
int64_t LeapDaysThrough(int64_t y) { return y / 4 - y / 100 + y / 400; }

// Days from 1 January of year 1 to 1 January of `year`.
int64_t DaysBeforeYear(int64_t year) { return 365 * (year - 1) + LeapDaysThrough(year - 1); }

// Days from the start of the era to day 0 of the count (day 4 = 1 Jan 1801).
const int64_t kEraToDayZero = DaysBeforeYear(1801) - kFirstDay;

int32_t g_current_year = 0;

}  // namespace

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t month, int32_t year) {
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kMonthLength[month - 1];
}

int32_t DaysFromCivil(int32_t year, int32_t month, int32_t day) {
  int64_t n = int64_t{year - 1801} * 365 + kDaysBeforeMonth[month - 1] + day + 3 +
              LeapDaysThrough(year) - LeapDaysThrough(1800);
  if (month <= 2 && IsLeapYear(year)) --n;
  return static_cast<int32_t>(n);
}

int32_t ValidateDate(int32_t month, int32_t day, int32_t year) {
  if (year >= 0 && year < 100) year = ExpandYear(year, kDefaultCenturyWindow);
  if (year < 1801 || year > 9999) return -1;
  if (month < 1 || month > 12) return -1;
  if (day < 1 || day > DaysInMonth(month, year)) return -1;
  return 0;
}

int32_t DateFromParts(int32_t month, int32_t day, int32_t year) {
  if (year >= 0 && year < 100) year = ExpandYear(year, kDefaultCenturyWindow);
  int64_t y = year, m = month, d = day;
  if (m > 12) {
    y += (m - 1) / 12;
    m = (m - 1) % 12 + 1;
  }
  // Days beyond the month's length roll into the following months, each
  // month with the length it has in its own year (so 29 February of a
  // common year is 1 March, and a roll-over into a leap year reaches its
  // 29 February). Whole years are skipped from January on.
  if (m >= 1) {
    while (y <= 9999 && d > DaysInMonth(static_cast<int32_t>(m), static_cast<int32_t>(y))) {
      int32_t whole_year = IsLeapYear(static_cast<int32_t>(y)) ? 366 : 365;
      if (m == 1 && d > whole_year) {
        d -= whole_year;
        ++y;
        continue;
      }
      d -= DaysInMonth(static_cast<int32_t>(m), static_cast<int32_t>(y));
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  if (y > 9999 || y < 100) return -1;
  if (ValidateDate(static_cast<int32_t>(m), static_cast<int32_t>(d), static_cast<int32_t>(y)) != 0)
    return -1;
  return DaysFromCivil(static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d));
}

int32_t DateToParts(int32_t date, DateParts* parts) {
  *parts = DateParts{};
  if (date < kFirstDay || date > kLastDay) return -1;
  int64_t since_era = date + kEraToDayZero;  // days since 1 January of year 1
  int64_t year = since_era / 365 + 1;
  while (DaysBeforeYear(year) > since_era) --year;
  int32_t day_of_year = static_cast<int32_t>(since_era - DaysBeforeYear(year));
  int32_t y = static_cast<int32_t>(year);
  int32_t month = 1;
  for (;; ++month) {
    int32_t len = DaysInMonth(month, y);
    if (day_of_year < len) break;
    day_of_year -= len;
  }
  parts->year = y;
  parts->month = month;
  parts->day = day_of_year + 1;
  return 0;
}

int32_t DAY(int32_t date) {
  DateParts p;
  DateToParts(date, &p);
  return p.day;
}

int32_t MONTH(int32_t date) {
  DateParts p;
  DateToParts(date, &p);
  return p.month;
}

int32_t YEAR(int32_t date) {
  DateParts p;
  DateToParts(date, &p);
  return p.year;
}

int32_t WeekDay(int32_t date) {
  if (date < kFirstDay || date > kLastDay) return -1;
  // 1 January 1801 (day 4) was a Thursday.
  return (date - kFirstDay + 4) % 7;
}

int32_t ExpandYearFrom(int32_t year, int32_t window, int32_t current_year) {
  if (year < 0 || year >= 100) return year;
  int32_t candidate = current_year / 100 * 100 + year;
  if (candidate >= current_year + (100 - window)) candidate -= 100;
  if (candidate < current_year - window) candidate += 100;
  return candidate;
}

int32_t CurrentYear() {
  if (g_current_year == 0) g_current_year = OsLocalTime().year;
  return g_current_year;
}

void SetCurrentYearForTesting(int32_t year) { g_current_year = year; }

int32_t ExpandYear(int32_t year, int32_t window) {
  return ExpandYearFrom(year, window, CurrentYear());
}

int32_t TimeFromParts(int32_t hours, int32_t minutes, int32_t seconds, int32_t hundredths) {
  if (hours == 0 && minutes == 0 && seconds == 0 && hundredths == 0) return 0;
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
      hundredths < 0 || hundredths > 99)
    return -1;
  return hours * 360000 + minutes * 6000 + seconds * 100 + hundredths + 1;
}

int32_t TimeToParts(int32_t time, TimeParts* parts) {
  *parts = TimeParts{};
  if (time < 1 || time > kLastTime) return -1;
  int32_t t = time - 1;
  parts->hours = t / 360000;
  t %= 360000;
  parts->minutes = t / 6000;
  t %= 6000;
  parts->seconds = t / 100;
  parts->hundredths = t % 100;
  return 0;
}

int32_t TODAY() {
  OsClock now = OsLocalTime();
  return DaysFromCivil(now.year, now.month, now.day);
}

int32_t CLOCK() {
  OsClock now = OsLocalTime();
  return now.hour * 360000 + now.minute * 6000 + now.second * 100 + now.milliseconds / 10 + 1;
}

std::string AgeText(int32_t birth, int32_t base) {
  const std::string stars(255, '*');
  if (base == -1) base = TODAY();
  DateParts b, t;
  if (DateToParts(birth, &b) != 0 || DateToParts(base, &t) != 0) return stars;
  if (birth > base) {
    // A birth date "in the future" is taken to be a century earlier (a
    // two-digit year that was expanded the wrong way).
    b.year -= 100;
    if (ValidateDate(b.month, b.day, b.year) != 0 || b.year < 100) return stars;
    birth = DaysFromCivil(b.year, b.month, b.day);
    if (birth > base) return stars;
  }
  char buf[32];
  int32_t days = base - birth;
  if (days < 61) {
    std::snprintf(buf, sizeof buf, "%d DAYS", days);
    return buf;
  }
  int32_t months = (t.year - b.year) * 12 + (t.month - b.month);
  if (t.day < b.day) --months;
  if (months < 24) {
    std::snprintf(buf, sizeof buf, "%d MOS", months);
  } else {
    std::snprintf(buf, sizeof buf, "%d YRS", months / 12);
  }
  return buf;
}

}  // namespace kor
