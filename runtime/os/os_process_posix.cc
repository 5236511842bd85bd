// POSIX side of program start: a command line split into words and started
// with posix_spawn, either waited for or left running on its own.
#include <errno.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/os/os.h"
#include "runtime/os/os_files_posix.h"

extern char** environ;

namespace kor {

namespace {

// Splits a command line at blanks; double quotes group words with blanks.
std::vector<std::string> SplitCommand(const char* command) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, have = false;
  for (const char* p = command; *p != '\0'; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      have = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (have) words.push_back(word);
      word.clear();
      have = false;
    } else {
      word += *p;
      have = true;
    }
  }
  if (have) words.push_back(word);
  return words;
}

// The program file a command names, searched along PATH when it has no
// slash. Returns the system error number for a program that cannot be run.
uint32_t FindProgram(const std::string& program, std::string* path) {
  auto usable = [](const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  };
  if (program.find('/') != std::string::npos) {
    if (!usable(program)) return OsErrnoToSystem(ENOENT, program.c_str());
    *path = program;
    return access(program.c_str(), X_OK) == 0 ? kOsOk : kOsAccessDenied;
  }
  const char* env = getenv("PATH");
  std::string dirs = env ? env : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (usable(candidate) && access(candidate.c_str(), X_OK) == 0) {
      *path = candidate;
      return kOsOk;
    }
    start = end + 1;
  }
  return kOsFileNotFound;
}

struct Prepared {
  std::string path;
  std::vector<std::string> words;
  std::vector<char*> argv;
};

uint32_t Prepare(const char* command, Prepared* p) {
  p->words = SplitCommand(command ? command : "");
  if (p->words.empty()) return kOsFileNotFound;
  uint32_t error = FindProgram(p->words[0], &p->path);
  if (error != kOsOk) return error;
  for (std::string& w : p->words) p->argv.push_back(w.data());
  p->argv.push_back(nullptr);
  return kOsOk;
}

}  // namespace

uint32_t OsRunAndWait(const char* command, void (*while_waiting)(), void (*after_waiting)()) {
  OsSetLastError(0);
  Prepared p;
  uint32_t error = Prepare(command, &p);
  pid_t pid = 0;
  // Every descriptor of the layer is close-on-exec, so the program inherits
  // none of the runtime's files.
  if (error == kOsOk) {
    int rc = posix_spawn(&pid, p.path.c_str(), nullptr, nullptr, p.argv.data(), environ);
    if (rc != 0) error = OsErrnoToSystem(rc, p.path.c_str());
  }
  if (error != kOsOk) {
    OsSetLastError(error);
    return error;
  }
  if (while_waiting != nullptr) while_waiting();
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (after_waiting != nullptr) after_waiting();
  OsSetLastError(0);
  return kOsOk;
}

uint32_t OsLaunch(const char* command) {
  OsSetLastError(0);
  Prepared p;
  uint32_t error = Prepare(command, &p);
  if (error != kOsOk) {
    OsSetLastError(error);
    return error;  // below 32, as the launcher reports a failed start
  }
  // A short-lived middle process starts the program and ends at once, so the
  // program is adopted by the system and never left as a zombie here.
  char* const sh_argv_prefix[] = {const_cast<char*>("sh"), const_cast<char*>("-c"),
                                  const_cast<char*>("\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &")};
  std::vector<char*> argv(std::begin(sh_argv_prefix), std::end(sh_argv_prefix));
  argv.push_back(p.path.data());
  for (size_t i = 1; i + 1 < p.argv.size(); ++i) argv.push_back(p.argv[i]);
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    uint32_t e = OsErrnoToSystem(rc, nullptr);
    OsSetLastError(e);
    return e == kOsNotEnoughMemory ? 0 : e;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  OsSetLastError(0);
  return 42;  // any value above 32 means started
}

}  // namespace kor
