// INI-style file reader used by the POSIX profile functions.
#include "runtime/os/ini_file.h"

#include <strings.h>

#include <fstream>

namespace kor {

namespace {
std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}
}  // namespace

bool ReadIniValue(const char* path, const char* section, const char* key, std::string* value) {
  if (path == nullptr || section == nullptr || key == nullptr) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool in_section = false;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    if (t[0] == '[') {
      size_t close = t.find(']');
      std::string name =
          Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      in_section = strcasecmp(name.c_str(), section) == 0;
      continue;
    }
    if (!in_section) continue;
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    if (strcasecmp(Trim(t.substr(0, eq)).c_str(), key) == 0) {
      *value = Trim(t.substr(eq + 1));
      return true;
    }
  }
  return false;
}

}  // namespace kor
