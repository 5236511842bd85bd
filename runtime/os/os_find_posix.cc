// POSIX side of the directory search: a directory scan with the system's
// wildcard rules ('*', '?', letter case ignored, "*.*" matching every name).
#include <dirent.h>
#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include <new>
#include <string>
#include <vector>

#include "runtime/os/ascii.h"
#include "runtime/os/os.h"
#include "runtime/os/os_files_posix.h"

namespace kor {

namespace {

struct FindState {
  std::vector<OsFindData> entries;
  size_t next = 0;
};

bool Match(const char* p, const char* s) {
  // Iterative wildcard match with one back-track point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*s != '\0') {
    if (*p == '*') {
      star = p++;
      resume = s;
    } else if (*p == '?' || (*p != '\0' && AsciiLower(*p) == AsciiLower(*s))) {
      ++p;
      ++s;
    } else if (star != nullptr) {
      p = star + 1;
      s = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

// The system's rules beyond plain wildcards: "*.*" is every name, and a
// pattern ending in a dot also matches the name without it ("*." lists the
// names that have no extension).
bool NameMatches(const std::string& pattern, const char* name) {
  if (pattern == "*.*" || pattern == "*") return true;
  if (Match(pattern.c_str(), name)) return true;
  if (!pattern.empty() && pattern.back() == '.' && strchr(name, '.') == nullptr) {
    return Match(pattern.substr(0, pattern.size() - 1).c_str(), name);
  }
  return false;
}

}  // namespace

OsFind OsFindFirst(const char* pattern, OsFindData* data, uint32_t* error) {
  *error = kOsOk;
  std::string whole = pattern ? pattern : "";
  size_t slash = whole.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : whole.substr(0, slash));
  std::string last = slash == std::string::npos ? whole : whole.substr(slash + 1);
  if (last.empty()) {
    *error = kOsFileNotFound;
    return nullptr;
  }
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) {
    *error =
        errno == ENOENT || errno == ENOTDIR ? kOsPathNotFound : OsErrnoToSystem(errno, nullptr);
    return nullptr;
  }
  FindState* state = new (std::nothrow) FindState;
  if (state == nullptr) {
    closedir(d);
    *error = kOsNotEnoughMemory;
    return nullptr;
  }
  while (dirent* e = readdir(d)) {
    if (!NameMatches(last, e->d_name)) continue;
    std::string path = dir + "/" + e->d_name;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) continue;
    OsFindData f{};
    strncpy(f.name, e->d_name, sizeof f.name - 1);
    f.attributes = OsAttributesFromStat(st.st_mode, e->d_name);
    if (!OsPackDosTime(st.st_mtime, &f.dos_date, &f.dos_time)) f.dos_date = f.dos_time = 0;
    f.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    state->entries.push_back(f);
  }
  closedir(d);
  if (state->entries.empty()) {
    delete state;
    *error = kOsFileNotFound;
    return nullptr;
  }
  *data = state->entries[0];
  state->next = 1;
  return state;
}

bool OsFindNext(OsFind find, OsFindData* data) {
  FindState* state = static_cast<FindState*>(find);
  if (state == nullptr || state->next >= state->entries.size()) return false;
  *data = state->entries[state->next++];
  return true;
}

void OsFindClose(OsFind find) { delete static_cast<FindState*>(find); }

}  // namespace kor
