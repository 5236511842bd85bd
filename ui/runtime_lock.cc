// The runtime-wide critical section.
#include "ui/runtime_lock.h"

#include <windows.h>

#include <cstdint>

#include "runtime/memory/runtime_log.h"

namespace kor {

namespace {
CRITICAL_SECTION g_lock;
bool g_ready = false;
}  // namespace

void InitRuntimeLock(int32_t arg) {
  if (arg == 0 && !g_ready) {
    InitializeCriticalSection(&g_lock);
    g_ready = true;
    SetRuntimeLogLock(&EnterRuntimeLock, &LeaveRuntimeLock);
  } else if (arg != 0 && g_ready) {
    SetRuntimeLogLock(nullptr, nullptr);
    g_ready = false;
    DeleteCriticalSection(&g_lock);
  }
}

void EnterRuntimeLock() {
  if (g_ready) EnterCriticalSection(&g_lock);
}

void LeaveRuntimeLock() {
  if (g_ready) LeaveCriticalSection(&g_lock);
}

}  // namespace kor
