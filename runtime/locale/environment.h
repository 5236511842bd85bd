// Environment settings: the start-up reading of the system's regional
// settings and of the environment file beside the program, the KOR keys that
// change the locale, and GetIni, the reader of INI files behind the language's
// GETINI (whose string-stack form is in runtime/builtins/getini.h).
//
// The environment file is the program's own path with its extension
// replaced by ".ENV" (PROG.EXE -> PROG.ENV). Its lines are described in
// runtime/locale/environment_file.h; the keys, compared without regard to case:
//   KORCHARSET  "OEM" turns OEM mode on (anything else turns it off); in OEM
//               mode every later value except KORCOLSEQ's is converted from
//               the OEM to the Windows character set before use
//   KORCOLSEQ   empty: byte order; "WINDOWS": the system's order (OEM mode
//               off); else the collating sequence (runtime/locale/collation.h)
//   KORCASE     "WINDOWS", or two items: upper-case letters, their partners
//   KORMONTH    up to 12 long month names (cut to 12 characters)
//   KORMON      up to 12 short month names (cut to 3 characters)
//   KORAMPM     "WINDOWS" (the system's s1159/s2359) or two marks (cut to 2)
//   KORDIGRAPH  groups of 3 characters: a character and the two it sorts as
//   KORBUTTON   item n becomes message text 32512 + n (message-box buttons)
//   KORLFN      "on" (any case) allows long file names, anything else not
//   KORMSGn     the text of message n (an error code or other message number)
// In a list an empty item ends the list; entries it does not reach stay as
// they were. Unknown keys are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

// Key numbers for ApplySetting(int, ...), in the order of the list above.
enum class EnvKey : int {
  kNone = 0,
  kCharset = 1,
  kColSeq = 2,
  kCase = 3,
  kMonth = 4,
  kMon = 5,
  kAmPm = 6,
  kDigraph = 7,
  kButton = 8,
  kLfn = 9,
};

// Message number of the first standard message-box button caption.
inline constexpr int32_t kButtonMessageBase = 32512;

// Start-up, first call only: reads the system's "intl" settings, keeps a
// copy of the collating sequence, applies the environment file beside the
// program, and clears the error state (a missing file is no error).
void LoadEnvironment();

// Applies an environment file. "WINDOWS" (any case) applies KORCOLSEQ,
// KORCASE and KORAMPM with the value "WINDOWS"; an empty name does nothing;
// a file that cannot be opened posts error 2 and changes nothing.
// Starts with ClearError.
void ApplyEnvironmentFile(const char* name);
// Applies the bytes of an environment file's content.
void ApplyEnvironmentText(const char* data, size_t n);

// Applies one setting; `value` is the raw decoded value of a line. Returns
// false for a key that is not one of the above.
bool ApplySetting(std::string_view key, std::string_view value);
bool ApplySetting(EnvKey key, std::string_view value);
// KORMSGn: message override for message number n.
void ApplyMessageSetting(int32_t number, std::string_view value);

// The environment file's name for a program path: the extension of the
// last path component replaced (or, without one, followed) by ".ENV".
std::string EnvironmentFileName(const std::string& program_path);

// GETINI(section, entry, default, file) with the arguments already taken:
// each has its trailing blanks removed and is cut (section and entry to 63,
// default to 1023, file name to 259 characters). An empty file name reads
// the system's main profile. The result is at most 1023 characters; the
// default when the entry is missing.
std::string GetIni(std::string_view section, std::string_view entry, std::string_view def,
                   std::string_view file);

// Initialisation entry: 0 runs LoadEnvironment; 1 does nothing (the
// message overrides belong to the error state).
void InitEnvironment(int32_t arg);

// Forgets that LoadEnvironment ran and puts the locale, collation and OEM
// mode back to their defaults (for tests).
void ResetEnvironmentForTesting();

}  // namespace kor
