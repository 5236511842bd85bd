// Tests of FORMAT and DEFORMAT for date and time pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/locale/locale.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"

namespace kor {
namespace {

class DatePictures : public testing::Test {
 protected:
  void SetUp() override { SetCurrentYearForTesting(2026); }
  void TearDown() override { SetCurrentYearForTesting(0); }
  static std::string Date(int m, int d, int y, const char* pic) {
    return FormatLong(DateFromParts(m, d, y), pic);
  }
  static int32_t Read(const char* text, const char* pic) {
    DeformatResult r = Deformat(text, pic);
    if (!r.ok) return -1;
    return std::stoi(r.value);
  }
};

TEST_F(DatePictures, EveryFixedLayout) {
  const struct {
    const char* pic;
    const char* jan5;   // 5 January 2007
    const char* dec25;  // 25 December 2026
  } cases[] = {
      {"@D1", " 1/05/07", "12/25/26"},
      {"@D2", " 1/05/2007", "12/25/2026"},
      {"@D3", "Jan  5,2007", "Dec 25,2026"},
      {"@D4", "January       5, 2007", "December     25, 2026"},
      {"@D5", " 5/01/07", "25/12/26"},
      {"@D6", " 5/01/2007", "25/12/2026"},
      {"@D7", " 5 Jan 07", "25 Dec 26"},
      {"@D8", " 5 Jan 2007", "25 Dec 2026"},
      {"@D9", "07/01/05", "26/12/25"},
      {"@D10", "2007/01/05", "2026/12/25"},
      {"@D11", "070105", "261225"},
      {"@D12", "20070105", "20261225"},
      {"@D13", "01/07", "12/26"},
      {"@D14", "01/2007", "12/2026"},
      {"@D15", "07/01", "26/12"},
      {"@D16", "2007/01", "2026/12"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Date(1, 5, 2007, c.pic), c.jan5) << c.pic;
    EXPECT_EQ(Date(12, 25, 2026, c.pic), c.dec25) << c.pic;
  }
  EXPECT_EQ(FormatLong(4, "@D2"), " 1/01/1801");
  EXPECT_EQ(FormatLong(kLastDay, "@D10"), "9999/12/31");
  // No date, and days outside the calendar, show blanks.
  EXPECT_EQ(FormatLong(0, "@D6"), "          ");
  EXPECT_EQ(FormatLong(3, "@D1"), "        ");
  EXPECT_EQ(FormatLong(kLastDay + 1, "@D1"), "        ");
  EXPECT_EQ(FormatReal(DateFromParts(12, 25, 2026) + 0.75, "@D6"), "25/12/2026");
  EXPECT_EQ(FormatText("  46381", "@D6"), "24/12/1927");
}

TEST_F(DatePictures, FillsAndSeparators) {
  EXPECT_EQ(Date(12, 25, 2026, "@D6-"), "25-12-2026");
  EXPECT_EQ(Date(12, 25, 2026, "@D6_"), "25 12 2026");
  EXPECT_EQ(Date(12, 25, 2026, "@D6."), "25.12.2026");
  EXPECT_EQ(Date(12, 25, 2026, "@D6`"), "25,12,2026");
  EXPECT_EQ(Date(1, 5, 2007, "@D*6"), "*5/*1/2007");
  EXPECT_EQ(Date(1, 5, 2007, "@D06"), "05/01/2007");
  EXPECT_EQ(Date(1, 5, 2007, "@D_6"), " 5/ 1/2007");
  EXPECT_EQ(Date(1, 5, 2007, "@D*9"), "*7/*1/*5");
  EXPECT_EQ(Date(1, 5, 2007, "@D01-"), "01-05-07");
  EXPECT_EQ(Date(1, 5, 2007, "@D7-"), " 5-Jan-07");
  EXPECT_EQ(Date(5, 5, 2007, "@D*4"), "May********* *5, 2007");
  EXPECT_EQ(Date(1, 5, 2000, "@D_11"), " 0 1 5");  // the last digit always shows
  // Every layout with every fill and separator keeps its width and reads back.
  const char* fills[] = {"", "0", "_", "*"};
  const char* seps[] = {"", ".", "-", "_", "`"};
  int32_t dates[] = {DateFromParts(1, 5, 2007), DateFromParts(12, 25, 2026),
                     DateFromParts(2, 29, 1960), DateFromParts(10, 10, 2010)};
  for (int n = 1; n <= 18; ++n) {
    for (const char* f : fills) {
      for (const char* s : seps) {
        std::string pic = "@D" + std::string(f) + std::to_string(n) + s;
        Picture p = CompilePicture(pic);
        ASSERT_EQ(p.kind, PictureKind::kDate) << pic;
        for (int32_t d : dates) {
          std::string text = FormatLong(d, p);
          ASSERT_EQ(text.size(), p.width) << pic;
          DeformatResult r = Deformat(text, p);
          ASSERT_TRUE(r.ok) << pic << " '" << text << "'";
          int32_t back = std::stoi(r.value);
          DateParts a, b;
          DateToParts(d, &a);
          DateToParts(back, &b);
          EXPECT_EQ(a.month, b.month) << pic << " '" << text << "'";
          if (n <= 12 || n >= 17) {
            EXPECT_EQ(a.day, b.day) << pic;
          }
          if (n != 18 && (n < 13 || n > 16)) {
            EXPECT_EQ(back, d) << pic << " '" << text << "'";
          } else if (n >= 13 && n <= 16) {
            EXPECT_EQ(b.day, 1) << pic;
          }
        }
      }
    }
  }
}

TEST_F(DatePictures, SystemPatterns) {
  SystemIntlSettings saved = SystemIntl();
  SystemIntlSettings s;
  SetSystemIntl(s);
  EXPECT_EQ(Date(12, 25, 2026, "@D17"), "12/25/26");
  EXPECT_EQ(Date(12, 25, 2026, "@D18"), "December  25, 2026");
  EXPECT_EQ(Date(5, 1, 2026, "@D18"), "May       01, 2026");
  s.sShortDate = "d.M.yyyy";
  s.sLongDate = "dd. MMM yyyy";
  SetSystemIntl(s);
  EXPECT_EQ(Date(1, 5, 2007, "@D17"), " 5. 1.2007");
  EXPECT_EQ(Date(1, 5, 2007, "@D17-"), " 5- 1-2007");
  EXPECT_EQ(Date(1, 5, 2007, "@D18"), "05. Jan 2007");
  EXPECT_EQ(Read("5.1.2007", "@D17"), 75248);  // 5 January 2007
  SetSystemIntl(saved);
}

TEST_F(DatePictures, ReadingTypedDates) {
  const int32_t xmas = 82542;  // 25 December 2026, counted from day 4 = 1 January 1801
  EXPECT_EQ(Read("25/12/2026", "@D6"), xmas);
  EXPECT_EQ(Read("25-12-2026", "@D6"), xmas);
  EXPECT_EQ(Read("25.12.26", "@D6"), xmas);
  EXPECT_EQ(Read("25122026", "@D6"), xmas);
  EXPECT_EQ(Read("251226", "@D6"), xmas);
  EXPECT_EQ(Read("25 Dec 2026", "@D6"), xmas);
  EXPECT_EQ(Read("dec 25 2026", "@D2"), xmas);
  EXPECT_EQ(Read("December  25, 2026", "@D4"), xmas);
  EXPECT_EQ(Read("25 DECEM 26", "@D8"), xmas);
  EXPECT_EQ(Read("12/25", "@D1"), xmas);  // this year
  EXPECT_EQ(Read("  25/12/2026  ", "@D6"), xmas);
  EXPECT_EQ(Read("", "@D6"), 0);
  EXPECT_EQ(Read("     ", "@D6"), 0);
  // Two-digit years through the picture's window.
  EXPECT_EQ(YEAR(Read("1/1/60", "@D6")), 1960);
  EXPECT_EQ(YEAR(Read("1/1/60", "@D6<")), 1960);
  EXPECT_EQ(YEAR(Read("1/1/60", "@D6>")), 2060);
  EXPECT_EQ(YEAR(Read("1/1/45", "@D6")), 2045);
  EXPECT_EQ(YEAR(Read("1/1/46", "@D6")), 1946);
  EXPECT_EQ(YEAR(Read("1/1/30", "@D6<10")), 2030);
  // What cannot be a date is refused.
  EXPECT_EQ(Read("31/02/2026", "@D6"), -1);
  EXPECT_EQ(Read("29/02/1900", "@D6"), -1);
  EXPECT_EQ(Read("1/1/1800", "@D6"), -1);
  EXPECT_EQ(Read("13/1/2026", "@D2"), -1);
  EXPECT_EQ(Read("hello", "@D6"), -1);
  EXPECT_EQ(Read("Ju 5 2026", "@D2"), -1);  // June or July?
  EXPECT_EQ(Read("1/2/3/4", "@D6"), -1);
  EXPECT_EQ(Read("2512202", "@D6"), -1);
  EXPECT_EQ(Read("1 2 3 4 5 6 7 8 9", "@D6"), -1);
  EXPECT_EQ(Read("12/2026", "@D14"), 82518);  // 1 December 2026
}

TEST(TimePictures, EveryLayout) {
  int32_t morning = TimeFromParts(9, 5, 3, 0);
  int32_t evening = TimeFromParts(21, 5, 3, 0);
  int32_t midnight = 1;
  int32_t noon = TimeFromParts(12, 0, 0, 0);
  const struct {
    const char* pic;
    const char* m;
    const char* e;
    const char* mid;
    const char* nn;
  } cases[] = {
      {"@T1", " 9:05", "21:05", " 0:00", "12:00"},
      {"@T2", "0905", "2105", "0000", "1200"},
      {"@T3", "09:05AM", "09:05PM", "12:00AM", "12:00PM"},
      {"@T4", "09:05:03", "21:05:03", "00:00:00", "12:00:00"},
      {"@T5", "090503", "210503", "000000", "120000"},
      {"@T6", "09:05:03AM", "09:05:03PM", "12:00:00AM", "12:00:00PM"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatLong(morning, c.pic), c.m) << c.pic;
    EXPECT_EQ(FormatLong(evening, c.pic), c.e) << c.pic;
    EXPECT_EQ(FormatLong(midnight, c.pic), c.mid) << c.pic;
    EXPECT_EQ(FormatLong(noon, c.pic), c.nn) << c.pic;
  }
  EXPECT_EQ(FormatLong(morning, "@T04"), "09:05:03");
  EXPECT_EQ(FormatLong(morning, "@T*4-"), "*9-*5-*3");
  EXPECT_EQ(FormatLong(morning, "@T_4."), " 9. 5. 3");
  EXPECT_EQ(FormatLong(morning, "@T1`"), " 9,05");
  EXPECT_EQ(FormatLong(0, "@T4"), "        ");
  EXPECT_EQ(FormatLong(kLastTime + 1, "@T4"), "        ");
  EXPECT_EQ(FormatLong(kLastTime, "@T4"), "23:59:59");
}

TEST(TimePictures, SystemTimePictures) {
  SystemIntlSettings saved = SystemIntl();
  SystemIntlSettings s;
  std::strcpy(s.s1159, "vm");
  std::strcpy(s.s2359, "nm");
  SetSystemIntl(s);
  int32_t t = TimeFromParts(14, 30, 15, 0);
  EXPECT_EQ(FormatLong(t, "@T7"), "02:30 nm");
  EXPECT_EQ(FormatLong(t, "@T8"), "02:30:15 nm");
  EXPECT_EQ(std::stoi(Deformat("02:30:15 nm", "@T8").value), t);
  s.iTime = 1;
  s.sTime = '.';
  SetSystemIntl(s);
  EXPECT_EQ(FormatLong(t, "@T8"), "14.30.15");
  SetSystemIntl(saved);
}

TEST(TimePictures, ReadingTypedTimes) {
  auto read = [](const char* text) {
    DeformatResult r = Deformat(text, "@T4");
    return r.ok ? std::stoi(r.value) : -1;
  };
  // Time values by hand: hours * 360000 + minutes * 6000 + seconds * 100 +
  // hundredths + 1.
  EXPECT_EQ(read("14:30"), 5220001);
  EXPECT_EQ(read("1430"), 5220001);
  EXPECT_EQ(read("930"), 3420001);
  EXPECT_EQ(read("9"), 3240001);
  EXPECT_EQ(read("143015"), 5221501);
  EXPECT_EQ(read("14:30:15.5"), 5221551);
  EXPECT_EQ(read("2:30 pm"), 5220001);
  EXPECT_EQ(read("2:30p"), 5220001);
  EXPECT_EQ(read("12:10 AM"), 60001);
  EXPECT_EQ(read("00:00:00"), 1);  // midnight is a time, not "no time"
  EXPECT_EQ(read(""), 0);
  EXPECT_EQ(read("24:00"), -1);
  EXPECT_EQ(read("13:00 PM"), -1);
  EXPECT_EQ(read("12:60"), -1);
  EXPECT_EQ(read("noon"), -1);
  EXPECT_EQ(read("1:2:3:4:5"), -1);
  EXPECT_EQ(FormatLong(TimeFromParts(5, 55, 0, 0), "@T*5"), "*555*0");
  EXPECT_EQ(Deformat("*555*0", "@T*5").value, "2130001");  // 5:55:00
  EXPECT_EQ(Deformat("*5*5", "@T*2").value, "1830001");    // 5:05
  for (int n = 1; n <= 8; ++n) {
    for (const char* f : {"", "0", "_", "*"}) {
      for (const char* s : {"", ".", "-", "_", "`"}) {
        std::string pic = "@T" + std::string(f) + std::to_string(n) + s;
        // Fills shown inside a run of digits ("*555*0" for 5:55:00 in @T*5)
        // read back as the zeros they stand for.
        for (int32_t t : {1, TimeFromParts(9, 5, 3, 0), TimeFromParts(23, 59, 59, 0),
                          TimeFromParts(12, 0, 0, 0), TimeFromParts(5, 55, 0, 0),
                          TimeFromParts(0, 5, 55, 0), TimeFromParts(10, 0, 5, 0)}) {
          std::string text = FormatLong(t, pic);
          DeformatResult r = Deformat(text, pic);
          ASSERT_TRUE(r.ok) << pic << " '" << text << "'";
          int32_t back = std::stoi(r.value);
          // Pictures without seconds read back the whole minute.
          bool minutes_only = n == 1 || n == 2 || n == 3 || n == 7;
          EXPECT_EQ(back, minutes_only ? t - (t - 1) % 6000 : t) << pic << " '" << text << "'";
        }
      }
    }
  }
}

}  // namespace
}  // namespace kor
