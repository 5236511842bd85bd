// Locale defaults, name slots and cutting, marks and the system settings.
#include "runtime/locale/locale.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "runtime/os/os.h"

namespace kor {
namespace {

class LocaleTest : public testing::Test {
 protected:
  void TearDown() override { ResetLocale(); }
};

TEST_F(LocaleTest, Defaults) {
  ResetLocale();
  EXPECT_STREQ(LongMonthName(1), "January");
  EXPECT_STREQ(LongMonthName(9), "September");
  EXPECT_STREQ(LongMonthName(12), "December");
  EXPECT_STREQ(ShortMonthName(1), "Jan");
  EXPECT_STREQ(ShortMonthName(9), "Sep");
  EXPECT_STREQ(LongMonthName(0), "");
  EXPECT_STREQ(ShortMonthName(13), "");
  EXPECT_STREQ(MorningMark(), "AM");
  EXPECT_STREQ(AfternoonMark(), "PM");
  EXPECT_FALSE(OemMode());
  EXPECT_EQ(LongFileNames(), OsLongFileNamesSupported());
  const SystemIntlSettings& s = SystemIntl();
  EXPECT_EQ(s.iTime, 0);
  EXPECT_EQ(s.iTLzero, 1);
  EXPECT_EQ(s.sTime, ':');
  EXPECT_STREQ(s.s1159, "AM");
  EXPECT_STREQ(s.s2359, "PM");
  EXPECT_EQ(s.sShortDate, "MM/dd/yy");
  EXPECT_EQ(s.sLongDate, "ddd', 'MMMM' 'dd', 'yyyy");
}

TEST_F(LocaleTest, NamesAreCutToTheirSlots) {
  SetLongMonthName(3, "Marzo-de-la-primavera");
  EXPECT_STREQ(LongMonthName(3), "Marzo-de-la-");
  SetShortMonthName(3, "Marzo");
  EXPECT_STREQ(ShortMonthName(3), "Mar");
  SetShortMonthName(4, "");
  EXPECT_STREQ(ShortMonthName(4), "");
  SetLongMonthName(13, "x");  // ignored
  SetLongMonthName(5, nullptr);
  EXPECT_STREQ(LongMonthName(5), "May");
  SetDayHalfMarks("vorm", nullptr);
  EXPECT_STREQ(MorningMark(), "vo");
  EXPECT_STREQ(AfternoonMark(), "PM");
  SetOemMode(true);
  SetLongFileNames(false);
  EXPECT_TRUE(OemMode());
  EXPECT_FALSE(LongFileNames());
  ResetLocale();
  EXPECT_STREQ(LongMonthName(3), "March");
  EXPECT_STREQ(MorningMark(), "AM");
  EXPECT_FALSE(OemMode());
}

#if !defined(_WIN32)
// Natively the system profile is the INI file named by $KORPROFILE.
TEST_F(LocaleTest, SystemSettingsFromProfile) {
  std::string path = testing::TempDir() + "locale_test_win.ini";
  {
    std::ofstream out(path);
    out << "[intl]\n"
        << "iTime=1\niTLzero=0\nsTime=.\ns1159=vorm\ns2359=nm\n"
        << "sShortDate=dd.MM.yyyy\nsLongDate=dddd, d. MMMM yyyy\n";
  }
  uint32_t generation = SystemIntlGeneration();
  const char* old = getenv("KORPROFILE");
  std::string saved = old ? old : "";
  setenv("KORPROFILE", path.c_str(), 1);
  LoadSystemIntlSettings();
  const SystemIntlSettings& s = SystemIntl();
  EXPECT_EQ(s.iTime, 1);
  EXPECT_EQ(s.iTLzero, 0);
  EXPECT_EQ(s.sTime, '.');
  EXPECT_STREQ(s.s1159, "vo");
  EXPECT_STREQ(s.s2359, "nm");
  EXPECT_EQ(s.sShortDate, "dd.MM.yyyy");
  EXPECT_EQ(s.sLongDate, "dddd, d. MMMM yyyy");
  EXPECT_NE(SystemIntlGeneration(), generation);
  // A profile without the section keeps every default.
  setenv("KORPROFILE", (testing::TempDir() + "no_such_profile.ini").c_str(), 1);
  LoadSystemIntlSettings();
  EXPECT_EQ(SystemIntl().iTime, 0);
  EXPECT_EQ(SystemIntl().sShortDate, "MM/dd/yy");
  if (old) setenv("KORPROFILE", saved.c_str(), 1);
  else unsetenv("KORPROFILE");
  std::remove(path.c_str());
}
#endif

}  // namespace
}  // namespace kor
