// The runtime's month names, day-half marks, flags and system "intl" settings.
#include "runtime/locale/locale.h"

#include <string.h>

#include "runtime/os/os.h"

namespace kor {

namespace {

struct LocaleState {
  char long_month[12][kLongMonthSlot];
  char short_month[12][kShortMonthSlot];
  char morning[kDayHalfMarkSlot];
  char afternoon[kDayHalfMarkSlot];
  bool oem_mode;
  bool long_file_names;
  bool long_file_names_known;  // false until the system has been asked
};

constexpr const char* kLongMonths[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

// Copies at most slot-1 characters and a zero byte.
constexpr void CopyCut(char* slot, size_t size, const char* text) {
  size_t n = 0;
  while (text[n] != '\0' && n < size - 1) {
    slot[n] = text[n];
    ++n;
  }
  while (n < size) slot[n++] = '\0';
}

constexpr LocaleState DefaultLocale() {
  LocaleState s{};
  for (int m = 0; m < 12; ++m) {
    CopyCut(s.long_month[m], kLongMonthSlot, kLongMonths[m]);
    CopyCut(s.short_month[m], kShortMonthSlot, kLongMonths[m]);
  }
  CopyCut(s.morning, kDayHalfMarkSlot, "AM");
  CopyCut(s.afternoon, kDayHalfMarkSlot, "PM");
  s.long_file_names = true;
  return s;
}

constinit LocaleState g_locale = DefaultLocale();
SystemIntlSettings g_intl;
uint32_t g_intl_generation = 0;

}  // namespace

const char* LongMonthName(int month) {
  return month >= 1 && month <= 12 ? g_locale.long_month[month - 1] : "";
}

const char* ShortMonthName(int month) {
  return month >= 1 && month <= 12 ? g_locale.short_month[month - 1] : "";
}

void SetLongMonthName(int month, const char* text) {
  if (month < 1 || month > 12 || text == nullptr) return;
  CopyCut(g_locale.long_month[month - 1], kLongMonthSlot, text);
}

void SetShortMonthName(int month, const char* text) {
  if (month < 1 || month > 12 || text == nullptr) return;
  CopyCut(g_locale.short_month[month - 1], kShortMonthSlot, text);
}

const char* MorningMark() { return g_locale.morning; }
const char* AfternoonMark() { return g_locale.afternoon; }

void SetDayHalfMarks(const char* morning, const char* afternoon) {
  if (morning != nullptr) CopyCut(g_locale.morning, kDayHalfMarkSlot, morning);
  if (afternoon != nullptr) CopyCut(g_locale.afternoon, kDayHalfMarkSlot, afternoon);
}

bool OemMode() { return g_locale.oem_mode; }
void SetOemMode(bool on) { g_locale.oem_mode = on; }

bool LongFileNames() {
  if (!g_locale.long_file_names_known) {
    g_locale.long_file_names = OsLongFileNamesSupported();
    g_locale.long_file_names_known = true;
  }
  return g_locale.long_file_names;
}

void SetLongFileNames(bool on) {
  g_locale.long_file_names = on;
  g_locale.long_file_names_known = true;
}

const SystemIntlSettings& SystemIntl() { return g_intl; }
void SetSystemIntl(const SystemIntlSettings& settings) {
  g_intl = settings;
  ++g_intl_generation;
}

uint32_t SystemIntlGeneration() { return g_intl_generation; }

void LoadSystemIntlSettings() {
  SystemIntlSettings s;
  s.iTime = OsGetProfileInt("intl", "iTime", s.iTime);
  s.iTLzero = OsGetProfileInt("intl", "iTLzero", s.iTLzero);
  std::string sep = OsGetProfileString("intl", "sTime", ":");
  if (!sep.empty()) s.sTime = sep[0];
  CopyCut(s.s1159, kDayHalfMarkSlot, OsGetProfileString("intl", "s1159", s.s1159).c_str());
  CopyCut(s.s2359, kDayHalfMarkSlot, OsGetProfileString("intl", "s2359", s.s2359).c_str());
  s.sShortDate = OsGetProfileString("intl", "sShortDate", s.sShortDate.c_str());
  s.sLongDate = OsGetProfileString("intl", "sLongDate", s.sLongDate.c_str());
  if (s.sShortDate.empty()) s.sShortDate = SystemIntlSettings().sShortDate;
  if (s.sLongDate.empty()) s.sLongDate = SystemIntlSettings().sLongDate;
  SetSystemIntl(s);
}

void ResetLocale() {
  g_locale = DefaultLocale();
  SetSystemIntl(SystemIntlSettings());
}

}  // namespace kor
