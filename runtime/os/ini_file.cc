// INI-style file reader used by the POSIX profile functions.
#include "runtime/os/ini_file.h"

#include <fstream>

#include "runtime/os/ascii.h"

namespace kor {

bool ReadIniValue(const char* path, const char* section, const char* key, std::string* value) {
  if (path == nullptr || section == nullptr || key == nullptr) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool in_section = false;
  while (std::getline(in, line)) {
    std::string_view t = TrimWhitespace(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      std::string_view name = TrimWhitespace(t.substr(1, close == t.npos ? t.npos : close - 1));
      in_section = EqualIgnoringAsciiCase(name, section);
      continue;
    }
    if (!in_section) continue;
    size_t eq = t.find('=');
    if (eq == t.npos) continue;
    if (EqualIgnoringAsciiCase(TrimWhitespace(t.substr(0, eq)), key)) {
      *value = TrimWhitespace(t.substr(eq + 1));
      return true;
    }
  }
  return false;
}

}  // namespace kor
