// Start-up reading of the regional settings and the environment file, the
// KOR keys, and the INI reader behind GETINI.
#include "runtime/locale/environment.h"

#include <stdio.h>

#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/environment_file.h"
#include "runtime/locale/locale.h"
#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {

namespace {

constexpr std::string_view kMessagePrefix = "KORMSG";

bool g_loaded = false;

bool IsWindows(std::string_view item) { return EqualIgnoringAsciiCase(item, "WINDOWS"); }

struct KeyName {
  std::string_view name;
  EnvKey key;
};
constexpr KeyName kKeys[] = {
    {"KORCHARSET", EnvKey::kCharset}, {"KORCOLSEQ", EnvKey::kColSeq}, {"KORCASE", EnvKey::kCase},
    {"KORMONTH", EnvKey::kMonth},     {"KORMON", EnvKey::kMon},       {"KORAMPM", EnvKey::kAmPm},
    {"KORDIGRAPH", EnvKey::kDigraph}, {"KORBUTTON", EnvKey::kButton}, {"KORLFN", EnvKey::kLfn},
};

EnvKey FindKey(std::string_view name) {
  for (const KeyName& k : kKeys)
    if (EqualIgnoringAsciiCase(name, k.name)) return k.key;
  return EnvKey::kNone;
}

// The number after "KORMSG": decimal digits only, within int32.
bool ParseMessageNumber(std::string_view digits, int32_t* number) {
  if (digits.empty() || digits.size() > 10) return false;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > INT32_MAX) return false;
  *number = static_cast<int32_t>(n);
  return true;
}

// The value as the key sees it: OEM text converted unless the key keeps it.
std::string ForKey(std::string_view value, bool convert) {
  std::string s(value);
  if (convert && OemMode() && !s.empty()) OsOemToAnsi(s.data(), s.data(), s.size());
  return s;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string all;
  for (const std::string& item : items) all += item;
  return all;
}

// Applies `set(index, item)` to the items up to the first empty one.
template <typename Fn>
void ForListItems(const std::vector<std::string>& items, size_t limit, Fn set) {
  for (size_t i = 0; i < items.size() && i < limit; ++i) {
    if (items[i].empty()) break;
    set(i, items[i]);
  }
}

}  // namespace

bool ApplySetting(EnvKey key, std::string_view raw) {
  std::string value = ForKey(raw, key != EnvKey::kColSeq);
  bool single = key == EnvKey::kColSeq;
  std::vector<std::string> items = SplitEnvironmentList(value, single);
  std::string first = items.empty() ? std::string() : items[0];
  switch (key) {
    case EnvKey::kCharset: SetOemMode(EqualIgnoringAsciiCase(first, "OEM")); return true;
    case EnvKey::kColSeq: {
      std::string seq = Joined(items);
      if (IsWindows(seq)) {
        SetSystemCollatingSequence();
        SetOemMode(false);
      } else {
        SetCollatingSequence(seq.data(), seq.size(), OemMode());
      }
      return true;
    }
    case EnvKey::kCase:
      if (IsWindows(first)) {
        SetSystemCasePairs();
      } else if (items.size() >= 2) {
        SetCasePairs(items[0].data(), items[0].size(), items[1].data(), items[1].size());
      }
      return true;
    case EnvKey::kMonth:
      ForListItems(items, 12, [](size_t i, const std::string& s) {
        SetLongMonthName(static_cast<int>(i) + 1, s.c_str());
      });
      return true;
    case EnvKey::kMon:
      ForListItems(items, 12, [](size_t i, const std::string& s) {
        SetShortMonthName(static_cast<int>(i) + 1, s.c_str());
      });
      return true;
    case EnvKey::kAmPm:
      if (IsWindows(first)) {
        SetDayHalfMarks(SystemIntl().s1159, SystemIntl().s2359);
      } else {
        ForListItems(items, 2, [](size_t i, const std::string& s) {
          SetDayHalfMarks(i == 0 ? s.c_str() : nullptr, i == 1 ? s.c_str() : nullptr);
        });
      }
      return true;
    case EnvKey::kDigraph: {
      ClearDigraphs();
      for (const std::string& item : items)
        for (size_t i = 0; i + 3 <= item.size(); i += 3) {
          auto* p = reinterpret_cast<const uint8_t*>(item.data() + i);
          AddDigraph(Digraph{p[0], p[1], p[2]});
        }
      return true;
    }
    case EnvKey::kButton:
      ForListItems(items, items.size(), [](size_t i, const std::string& s) {
        SetMessageText(kButtonMessageBase + static_cast<int32_t>(i), s.c_str());
      });
      return true;
    case EnvKey::kLfn: SetLongFileNames(EqualIgnoringAsciiCase(first, "on")); return true;
    case EnvKey::kNone: break;
  }
  return false;
}

void ApplyMessageSetting(int32_t number, std::string_view raw) {
  std::vector<std::string> items = SplitEnvironmentList(ForKey(raw, true), true);
  SetMessageText(number, items.empty() ? "" : items[0].c_str());
}

bool ApplySetting(std::string_view key, std::string_view value) {
  EnvKey k = FindKey(key);
  if (k != EnvKey::kNone) return ApplySetting(k, value);
  if (key.size() > kMessagePrefix.size() &&
      EqualIgnoringAsciiCase(key.substr(0, kMessagePrefix.size()), kMessagePrefix)) {
    int32_t number;
    if (!ParseMessageNumber(key.substr(kMessagePrefix.size()), &number)) return false;
    ApplyMessageSetting(number, value);
    return true;
  }
  return false;
}

namespace {
EnvironmentLineReader MakeReader() {
  return EnvironmentLineReader([](std::string_view key, std::string_view raw) {
    ApplySetting(key, DecodeEnvironmentValue(raw));
  });
}
}  // namespace

void ApplyEnvironmentText(const char* data, size_t n) {
  // The same pieces as a file read through the buffer.
  EnvironmentLineReader reader = MakeReader();
  for (size_t i = 0; i < n; i += kEnvReadBuffer) {
    if (!reader.Feed(data + i, n - i < kEnvReadBuffer ? n - i : kEnvReadBuffer)) break;
  }
  reader.Finish();
}

void ApplyEnvironmentFile(const char* name) {
  ClearError();
  if (name == nullptr || *name == '\0') return;
  if (IsWindows(name)) {
    ApplySetting(EnvKey::kColSeq, "WINDOWS");
    ApplySetting(EnvKey::kCase, "WINDOWS");
    ApplySetting(EnvKey::kAmPm, "WINDOWS");
    return;
  }
  FILE* f = fopen(name, "rb");
  if (f == nullptr) {
    PostError(kErrFileNotFound);
    return;
  }
  EnvironmentLineReader reader = MakeReader();
  char buffer[kEnvReadBuffer];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (!reader.Feed(buffer, got)) break;
  }
  // A name that opens but cannot be read (a directory, a failing device) is
  // as unreadable as a missing file.
  bool failed = ferror(f) != 0;
  reader.Finish();
  fclose(f);
  if (failed) PostError(kErrFileNotFound);
}

std::string EnvironmentFileName(const std::string& program_path) {
  size_t slash = program_path.find_last_of("/\\:");
  size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = program_path.rfind('.');
  if (dot == std::string::npos || dot < name_start) return program_path + ".ENV";
  return program_path.substr(0, dot) + ".ENV";
}

void LoadEnvironment() {
  if (g_loaded) return;
  g_loaded = true;
  LoadSystemIntlSettings();
  SetLongFileNames(OsLongFileNamesSupported());
  SaveCollatingSequence();
  std::string path = OsExecutablePath();
  if (!path.empty()) ApplyEnvironmentFile(EnvironmentFileName(path).c_str());
  ClearError();
}

namespace {
std::string Clipped(std::string_view s, size_t limit) {
  size_t n = TrimTrailingBlanks(s).size();
  if (n > limit) n = limit;
  // Texts from the string stack may hold zero bytes; the profile functions
  // read up to the first.
  std::string out(s.substr(0, n));
  size_t zero = out.find('\0');
  if (zero != std::string::npos) out.resize(zero);
  return out;
}
}  // namespace

std::string GetIni(std::string_view section, std::string_view entry, std::string_view def,
                   std::string_view file) {
  std::string s = Clipped(section, 63), e = Clipped(entry, 63), d = Clipped(def, 1023),
              f = Clipped(file, 259);
  std::string result = f.empty()
                           ? OsGetProfileString(s.c_str(), e.c_str(), d.c_str())
                           : OsGetPrivateProfileString(s.c_str(), e.c_str(), d.c_str(), f.c_str());
  if (result.size() > 1023) result.resize(1023);
  return result;
}

void InitEnvironment(int32_t arg) {
  if (arg == 0) LoadEnvironment();
}

void ResetEnvironmentForTesting() {
  g_loaded = false;
  ResetLocale();
  ResetCollation();
}

}  // namespace kor
