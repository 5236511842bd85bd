// The runtime's national conventions: month names, day-half marks, OEM mode,
// long file names and the system's time and date settings of section "intl".
// The collating sequence and case tables live in runtime/locale/collation.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kor {

// Slot sizes of the name tables: a slot holds the text and its zero byte.
inline constexpr size_t kLongMonthSlot = 13;   // at most 12 characters
inline constexpr size_t kShortMonthSlot = 4;   // at most 3 characters
inline constexpr size_t kDayHalfMarkSlot = 3;  // at most 2 characters

// The system's time and date settings, read once at start-up from the
// "intl" section of the system profile (see LoadSystemIntlSettings).
struct SystemIntlSettings {
  int iTime = 0;                                 // 0 = 12-hour clock, 1 = 24-hour clock (@T7, @T8)
  int iTLzero = 1;                               // 1 = hours shown with a leading zero (@T7, @T8)
  char sTime = ':';                              // time separator
  char s1159[kDayHalfMarkSlot] = {'A', 'M', 0};  // the system's morning mark
  char s2359[kDayHalfMarkSlot] = {'P', 'M', 0};  // the system's afternoon mark
  std::string sShortDate = "MM/dd/yy";           // pattern of @D17
  std::string sLongDate = "ddd', 'MMMM' 'dd', 'yyyy";  // pattern of @D18
};

// ---- month names and day-half marks -----------------------------------------

// Month 1..12; any other month gives "". The texts are null-terminated.
const char* LongMonthName(int month);
const char* ShortMonthName(int month);
// Replace one name; the text is cut to 12 (long) or 3 (short) characters.
// A month outside 1..12 is ignored.
void SetLongMonthName(int month, const char* text);
void SetShortMonthName(int month, const char* text);

// The runtime's day-half marks used by @T3 and @T6 ("AM" and "PM" unless the
// environment file replaced them).
const char* MorningMark();
const char* AfternoonMark();
// Each cut to 2 characters; null leaves that mark unchanged.
void SetDayHalfMarks(const char* morning, const char* afternoon);

// ---- flags ------------------------------------------------------------------

// OEM mode: the environment file's values are OEM text (KORCHARSET=OEM).
bool OemMode();
void SetOemMode(bool on);

// Whether long file names may be used (KORLFN); the default is the system's
// capability found at start-up.
bool LongFileNames();
void SetLongFileNames(bool on);

// ---- system settings ------------------------------------------------------

// The settings read by LoadSystemIntlSettings (defaults before that).
const SystemIntlSettings& SystemIntl();
// Reads "iTime", "iTLzero", "sTime", "s1159", "s2359", "sShortDate" and
// "sLongDate" of section "intl" through OsGetProfileString/OsGetProfileInt.
// Windows reads WIN.INI; natively the INI file named by $KORPROFILE, else
// $HOME/.korvane/win.ini; every entry that is missing keeps its default.
// Texts longer than their field are cut; an empty separator keeps ":".
void LoadSystemIntlSettings();
// Replaces the settings (tests and programs that bring their own).
void SetSystemIntl(const SystemIntlSettings& settings);
// Counts every change of the settings, so that pictures compiled from them
// (@D17, @D18, @T7, @T8) can tell when to compile again.
uint32_t SystemIntlGeneration();

// Puts everything in this header back to its default: English month names,
// "AM"/"PM", OEM mode off, long file names as the system allows, the
// default "intl" settings.
void ResetLocale();

}  // namespace kor
