// The window library's entries of a program's initialisation table:
//   255  the runtime-wide lock (and the runtime log's use of it)
//   150  the hidden timer window's class; the thread manager (the main
//        thread's record at RuntimeStart, the shutdown steps that wait for
//        the other threads and stop the process-wide timer)
//   16   the window library's globals: the shutdown step that closes every
//        window still open, and the fault report's library-state provider
// A program's table lists them with its own entries:
//   const InitEntry kTable[] = { KOR_RUNTIME_CORE_INIT_ENTRIES KOR_UI_INIT_ENTRIES ... };
#pragma once

#include <cstdint>

#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/timer_window.h"

namespace kor {

void InitWindowLibrary(int32_t arg);

}  // namespace kor

// clang-format off
#define KOR_UI_INIT_ENTRIES \
  {255, &kor::InitRuntimeLock, &kor::InitRuntimeLock}, \
  {150, &kor::InitTimerWindow, &kor::InitTimerWindow}, \
  {150, &kor::InitThreadManager, &kor::InitThreadManager}, \
  {16, &kor::InitWindowLibrary, &kor::InitWindowLibrary},
// clang-format on
