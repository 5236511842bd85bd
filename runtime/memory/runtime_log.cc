// Runtime log writing and the allocator's diagnostic table and report path.
#include "runtime/memory/runtime_log.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "runtime/os/os.h"

namespace kor {

namespace {

bool g_log_started = false;  // the first line of the process has been written
bool g_aux_checked = false;  // the profile entry has been read
bool g_aux_enabled = false;
RuntimeLogLockProc g_lock_enter = nullptr;
RuntimeLogLockProc g_lock_leave = nullptr;
DiagnosticHook g_diagnostic_hook = nullptr;

// 34 dashes end a diagnostic's record.
constexpr char kDashLine[] = "----------------------------------\r\n";
static_assert(sizeof kDashLine == 34 + 3);

struct DiagnosticEntry {
  int number;
  const char* text;
};

// The allocator's entries of the diagnostic table; -1 ends it. The stream
// library's numbers are not used by this runtime and fall to the end entry.
constexpr DiagnosticEntry kDiagnostics[] = {
    {0,
     "Corrupt block/Unknown block type freed.  This is probably caused by freeing a static "
     "variable or a bad pointer."},
    {1, "Out of free space"},
    {2, "Data was written past the end of the block being freed."},
    {3, "Block tags are inconsistant"},
    {4, "Illegal block size"},
    {5, "e_free_block_tag_corrupt:"},
    {6, "Tags mismatch"},
    {7, "size inconsitancy"},
    {8, "bad block pointer"},
    {9, "mangled free list"},
    {10, "memory leak %ld bytes (%ld allocs)"},
    {11, "memory block free'd twice"},
    {-1, "Unknown Error"},
};

class LogLock {
 public:
  LogLock() {
    if (g_lock_enter != nullptr) g_lock_enter();
  }
  ~LogLock() {
    if (g_lock_leave != nullptr) g_lock_leave();
  }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;
};

}  // namespace

void RuntimeLogWrite(const char* line) {
  if (line == nullptr) return;
  LogLock lock;
  size_t n = std::strlen(line);
  if (!g_aux_checked) {
    g_aux_checked = true;
    g_aux_enabled = !OsGetProfileString(kAuxTraceSection, kAuxTraceKey, "").empty();
  }
  // Only a line that reached the file counts as the process's first.
  if (OsWriteLogFile(kRuntimeLogName, line, n, !g_log_started)) g_log_started = true;
  if (g_aux_enabled) OsWriteAuxDevice(line, n);
}

void RuntimeLogPrintf(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  RuntimeLogWrite(buf);
}

void RestartRuntimeLog() {
  g_log_started = false;
  g_aux_checked = false;
  g_aux_enabled = false;
}

void SetRuntimeLogLock(RuntimeLogLockProc enter, RuntimeLogLockProc leave) {
  g_lock_enter = enter;
  g_lock_leave = leave;
}

const char* DiagnosticText(int number) {
  const DiagnosticEntry* e = kDiagnostics;
  while (e->number != -1 && e->number != number) ++e;
  return e->text;
}

void ReportDiagnostic(int number, ...) {
  char text[kDiagnosticTextSize];
  va_list args;
  va_start(args, number);
  std::vsnprintf(text, sizeof text, DiagnosticText(number), args);
  va_end(args);

  RuntimeLogPrintf("Error: %s\r\n", text);
  void* frames[kDiagnosticFrames];
  int count = OsCaptureReturnAddresses(frames, kDiagnosticFrames, 1);
  for (int i = 0; i < count; ++i) {
    // At least 8 digits: all of a 32-bit address, more on a 64-bit build.
    RuntimeLogPrintf("   %.8" PRIxPTR "\r\n", reinterpret_cast<uintptr_t>(frames[i]));
  }
  RuntimeLogWrite(kDashLine);

  if (g_diagnostic_hook != nullptr) g_diagnostic_hook(number, text);
}

DiagnosticHook SetDiagnosticHook(DiagnosticHook hook) {
  DiagnosticHook old = g_diagnostic_hook;
  g_diagnostic_hook = hook;
  return old;
}

}  // namespace kor
