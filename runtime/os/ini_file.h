// Reads one value from an INI-style text file ([section] lines, key=value
// lines, ';' comments); names compare without regard to case.
#pragma once

#include <string>

namespace kor {

// True and *value (surrounding blanks removed) when the file has the entry.
bool ReadIniValue(const char* path, const char* section, const char* key, std::string* value);

}  // namespace kor
