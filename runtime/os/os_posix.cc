// POSIX side of the operating-system layer: process, console message box,
// compiled-in message table, mmap memory and an INI-file profile.
#include "runtime/os/os.h"

#include <errno.h>
#include <execinfo.h>
#include <fcntl.h>
#include <fenv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "runtime/os/ini_file.h"
#include "runtime/os/message_table.h"

namespace kor {

namespace {
// Stand-in instance token: any non-zero address identifies "the executable".
char g_exe_token;
thread_local uint32_t t_last_error = 0;
}  // namespace

OsInstance OsExecutableInstance() { return &g_exe_token; }

std::string OsExecutablePath() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  return std::string(buf, static_cast<size_t>(n));
}

void OsExitProcess(uint32_t code) {
  fflush(nullptr);
  _exit(static_cast<int>(code));
}

void OsResetFpu() { fesetenv(FE_DFL_ENV); }

uint32_t OsTickCount() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

uint32_t OsCurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }
uint32_t OsCurrentProcessId() { return static_cast<uint32_t>(getpid()); }

uint32_t OsLastError() { return t_last_error; }
void OsSetLastError(uint32_t code) { t_last_error = code; }

bool OsIsReadable(const void* p, size_t size) {
  if (p == nullptr) return false;
  // write() into a pipe fails with EFAULT instead of faulting on bad memory.
  int fds[2];
  if (pipe(fds) != 0) return false;
  bool ok = true;
  const char* c = static_cast<const char*>(p);
  while (size > 0 && ok) {
    size_t n = size < 4096 ? size : 4096;
    ok = write(fds[1], c, n) == static_cast<ssize_t>(n);
    char sink[4096];
    if (ok) ok = read(fds[0], sink, n) == static_cast<ssize_t>(n);
    c += n;
    size -= n;
  }
  close(fds[0]);
  close(fds[1]);
  return ok;
}

void* OsGlobalAlloc(size_t size) { return calloc(1, size); }
void OsGlobalFree(void* p) { free(p); }

int OsMessageBox(const char* text, const char* caption, uint32_t style) {
  fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
  fflush(stderr);
  if ((style & 0xF) == kMbYesNo) return (style & kMbDefButton2) ? kIdNo : kIdYes;
  return kIdOk;
}

size_t OsLoadString(OsInstance, uint32_t id, char* buf, size_t size) {
  if (size == 0) return 0;
  const char* text = FindCompiledMessage(id);
  if (text == nullptr) {
    buf[0] = '\0';
    return 0;
  }
  size_t n = strlen(text);
  if (n > size - 1) n = size - 1;
  memcpy(buf, text, n);
  buf[n] = '\0';
  return n;
}

void* OsReserveMemory(size_t size) {
  // The allocator writes what it reserves (arena tags, pool records, the
  // blocks handed out), so the pages are made present in one call instead of
  // one page fault each.
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                 -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

void OsReleaseMemory(void* p, size_t size) {
  if (p != nullptr) munmap(p, size);
}

void* OsResizeMemory(void* p, size_t old_size, size_t new_size) {
  if (p == nullptr || new_size == 0) return nullptr;
  void* q = mremap(p, old_size, new_size, MREMAP_MAYMOVE);
  if (q == MAP_FAILED) return nullptr;
#if defined(MADV_POPULATE_WRITE)
  // As in OsReserveMemory: the grown part is about to be written. An older
  // kernel without the advice simply faults the pages in one by one.
  if (new_size > old_size) {
    madvise(static_cast<char*>(q) + old_size, new_size - old_size, MADV_POPULATE_WRITE);
  }
#endif
  return q;
}

bool OsWriteLogFile(const char* path, const void* data, size_t size, bool create) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (create ? O_TRUNC : O_APPEND);
  int fd = open(path, flags, 0666);
  if (fd < 0) return false;
  const char* c = static_cast<const char*>(data);
  bool ok = true;
  while (size > 0) {
    ssize_t n = write(fd, c, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    c += n;
    size -= static_cast<size_t>(n);
  }
  close(fd);
  return ok;
}

void OsWriteAuxDevice(const void* data, size_t size) {
  // No auxiliary device here: standard error stands in for it.
  fwrite(data, 1, size, stderr);
  fflush(stderr);
}

int OsCaptureReturnAddresses(void** out, int max, int skip) {
  if (max <= 0) return 0;
  // backtrace() reports this function too: skip it and the requested frames.
  void* frames[64];
  int want = max + skip + 1;
  if (want > 64) want = 64;
  int n = backtrace(frames, want);
  int first = skip + 1;
  int count = 0;
  for (int i = first; i < n && count < max; ++i) out[count++] = frames[i];
  return count;
}

namespace {
std::string ProfilePath() {
  const char* env = getenv("KORPROFILE");
  if (env != nullptr && *env != '\0') return env;
  const char* home = getenv("HOME");
  return std::string(home ? home : ".") + "/.korvane/win.ini";
}
}  // namespace

std::string OsGetProfileString(const char* section, const char* key, const char* def) {
  return OsGetPrivateProfileString(section, key, def, ProfilePath().c_str());
}

int OsGetProfileInt(const char* section, const char* key, int def) {
  std::string s = OsGetProfileString(section, key, "");
  if (s.empty()) return def;
  return static_cast<int>(strtol(s.c_str(), nullptr, 10));
}

std::string OsGetPrivateProfileString(const char* section, const char* key, const char* def,
                                      const char* path) {
  std::string value;
  if (ReadIniValue(path, section, key, &value)) return value;
  return def ? def : "";
}

OsClock OsLocalTime() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local;
  localtime_r(&ts.tv_sec, &local);
  return OsClock{.year = local.tm_year + 1900,
                 .month = local.tm_mon + 1,
                 .day = local.tm_mday,
                 .hour = local.tm_hour,
                 .minute = local.tm_min,
                 .second = local.tm_sec,
                 .milliseconds = static_cast<int32_t>(ts.tv_nsec / 1000000)};
}

}  // namespace kor
