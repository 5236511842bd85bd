// Calendar and clock arithmetic: the day count, the time unit, the
// conversions to and from their parts, TODAY, CLOCK, AGE and two-digit years.
//
// A date is a signed day count: day 4 is 1 January 1801 (so day 1 is
// 29 December 1800) and day 2994626 is 31 December 9999, the last valid day;
// 0 means "no date". The proleptic Gregorian calendar is used throughout.
// A time is hundredths of a second since midnight plus 1: 1 is 00:00:00.00,
// 8640000 is 23:59:59.99, and 0 means "no time".
#pragma once

#include <cstdint>
#include <string>

namespace kor {

inline constexpr int32_t kFirstDay = 4;        // 1 January 1801
inline constexpr int32_t kLastDay = 2994626;   // 31 December 9999
inline constexpr int32_t kLastTime = 8640000;  // 23:59:59.99
inline constexpr int32_t kDefaultCenturyWindow = 80;

struct DateParts {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
};

struct TimeParts {
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t hundredths = 0;
};

// The one calendar of the runtime (DATE, the DATE storage form, directory
// dates, pictures): Gregorian leap years, divisible by 4 and not by 100, or
// by 400.
bool IsLeapYear(int32_t year);
// Days in `month` (1-12) of `year`; 0 for a month out of range.
int32_t DaysInMonth(int32_t month, int32_t year);

// The language's DATE(m, d, y): a two-digit year goes through the default
// window; months above 12 roll into following years and days beyond the
// month's length into following months, each month with its length in its
// own year (29 February 1900 is 1 March 1900; day 91 of December 2024 is
// 1 March 2025). -1 when the result is invalid (a month or day below 1, a
// year outside 1801-9999 after the roll-over).
int32_t DateFromParts(int32_t month, int32_t day, int32_t year);
// Splits a day count; -1 (and zero parts) outside kFirstDay..kLastDay.
int32_t DateToParts(int32_t date, DateParts* parts);
// 0 when month/day/year name a real date between 1801 and 9999, else -1.
// A year below 100 is expanded with the default window first.
int32_t ValidateDate(int32_t month, int32_t day, int32_t year);
// Day count of year/month/day without roll-over or year expansion. month
// must be 1-12; a day past the month's end counts on into the next month
// (31 April is 1 May), so packed dates that name such a day still get a
// count.
int32_t DaysFromCivil(int32_t year, int32_t month, int32_t day);

int32_t DAY(int32_t date);
int32_t MONTH(int32_t date);
int32_t YEAR(int32_t date);
// Day of the week, 0 = Sunday; -1 for an invalid date.
int32_t WeekDay(int32_t date);

// The four-digit year for a year below 100 with century window `window`: the
// year lies at most `window` years before the current year and less than
// 100 - window years after it. Years from 100 upward are returned unchanged.
int32_t ExpandYear(int32_t year, int32_t window);
// The same against an explicit current year (the clock-free core).
int32_t ExpandYearFrom(int32_t year, int32_t window, int32_t current_year);
// The current year as ExpandYear sees it: read once from the system clock.
int32_t CurrentYear();
// Replaces the remembered current year (0 reads the clock again); for tests.
void SetCurrentYearForTesting(int32_t year);

// hours, minutes, seconds, hundredths → time; all zero gives 0 (no time),
// a part out of range gives -1.
int32_t TimeFromParts(int32_t hours, int32_t minutes, int32_t seconds, int32_t hundredths);
// Splits a time; outside 1..kLastTime every part is 0 and the result is -1.
int32_t TimeToParts(int32_t time, TimeParts* parts);

// Day count of the system's local date, and time of its local clock.
int32_t TODAY();
int32_t CLOCK();

// The AGE text for a birth date against a base date (-1 = today): days below
// 61 days, completed months below 24 months, else completed years, each with
// its unit text; 255 asterisks when the birth date is invalid or later than
// the base even after going back 100 years.
std::string AgeText(int32_t birth, int32_t base);

}  // namespace kor
