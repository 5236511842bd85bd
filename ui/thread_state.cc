// Thread records, their numbering, started threads and the pump hooks.
#include "ui/thread_state.h"

#include <algorithm>
#include <memory>

#include "runtime/core/startup.h"
#include "ui/runtime_lock.h"
#include "ui/window.h"

namespace kor {

namespace {

thread_local ThreadRecord* t_record = nullptr;

// Every live record; numbers are never reused within a process.
std::vector<std::unique_ptr<ThreadRecord>> g_threads;  // locked
int32_t g_next_number = 1;                             // locked
std::vector<HANDLE> g_started;                         // locked: handles of started threads
int32_t g_focus_thread = 0;                            // locked
int32_t g_last_run_thread = 0;                         // locked
MessageHook g_message_hook = nullptr;
UINT_PTR g_process_timer = 0;

// A new record with the next number; the caller holds the lock.
ThreadRecord* NewRecord() {
  g_threads.push_back(std::make_unique<ThreadRecord>());
  ThreadRecord* record = g_threads.back().get();
  record->number = g_next_number++;
  return record;
}

void DropRecord(ThreadRecord* record) {
  RuntimeLockGuard lock;
  auto it = std::find_if(g_threads.begin(), g_threads.end(),
                         [record](const auto& r) { return r.get() == record; });
  if (it != g_threads.end()) g_threads.erase(it);
}

struct StartArgs {
  void (*proc)(void*);
  void* arg;
  ThreadRecord* record;
};

// Closes what the thread left open, newest first. A window that stays open
// (marked only) ends the walk instead of looping on it.
void CloseLeftWindows() {
  while (Window* top = TopWindow()) {
    top->Close();
    if (TopWindow() == top) break;
  }
}

DWORD WINAPI ThreadMain(LPVOID param) {
  std::unique_ptr<StartArgs> args(static_cast<StartArgs*>(param));
  t_record = args->record;
  t_record->os_thread = GetCurrentThreadId();
  args->proc(args->arg);
  CloseLeftWindows();
  DropRecord(t_record);
  t_record = nullptr;
  return 0;
}

void CreateMainThreadRecord() { CurrentThread(); }

}  // namespace

ThreadRecord* CurrentThread() {
  if (t_record == nullptr) {
    RuntimeLockGuard lock;
    t_record = NewRecord();
    t_record->os_thread = GetCurrentThreadId();
  }
  return t_record;
}

ThreadRecord* FindThread(int32_t number) {
  if (number == 0) return CurrentThread();
  RuntimeLockGuard lock;
  for (const auto& r : g_threads)
    if (r->number == number) return r.get();
  return nullptr;
}

Window* TopWindowOf(ThreadRecord* thread) {
  if (thread == nullptr) return nullptr;
  RuntimeLockGuard lock;
  return thread->stack.empty() ? nullptr : thread->stack.back();
}

Window* TopWindow() { return t_record == nullptr ? nullptr : TopWindowOf(t_record); }

Window* TopWindowUnlocked() {
  return t_record == nullptr || t_record->stack.empty() ? nullptr : t_record->stack.back();
}

std::vector<Window*> WindowsOfOtherThreads() {
  std::vector<Window*> out;
  RuntimeLockGuard lock;
  for (const auto& r : g_threads) {
    if (r.get() == t_record) continue;
    out.insert(out.end(), r->stack.rbegin(), r->stack.rend());
  }
  return out;
}

void ForgetStartParent(Window* window) {
  RuntimeLockGuard lock;
  for (const auto& r : g_threads)
    if (r->start_parent == window) r->start_parent = nullptr;
}

int32_t StartWindowThread(void (*proc)(void*), void* arg) {
  Window* parent = TopWindow();
  auto args = std::make_unique<StartArgs>();
  args->proc = proc;
  args->arg = arg;
  {
    RuntimeLockGuard lock;
    args->record = NewRecord();
    args->record->start_parent = parent;
  }
  ThreadRecord* record = args->record;
  int32_t number = record->number;
  HANDLE thread = CreateThread(nullptr, 0, &ThreadMain, args.get(), 0, nullptr);
  if (thread == nullptr) {
    DropRecord(record);
    return 0;
  }
  args.release();  // the thread frees its arguments
  RuntimeLockGuard lock;
  g_started.push_back(thread);
  return number;
}

void WaitForWindowThreads() {
  for (;;) {
    std::vector<HANDLE> handles;
    {
      RuntimeLockGuard lock;
      handles = g_started;
    }
    if (handles.empty()) return;
    // One at a time (MsgWait takes at most 63); messages sent to this thread
    // by a thread that is closing its windows are answered meanwhile.
    HANDLE h = handles.front();
    while (MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    CloseHandle(h);
    RuntimeLockGuard lock;
    g_started.erase(std::find(g_started.begin(), g_started.end(), h));
  }
}

void NoteFocusThread(int32_t number) {
  RuntimeLockGuard lock;
  g_focus_thread = number;
}

int32_t FocusThread() {
  RuntimeLockGuard lock;
  return g_focus_thread;
}

int32_t LastRunThread() {
  RuntimeLockGuard lock;
  return g_last_run_thread;
}

void SetLastRunThread(int32_t number) {
  RuntimeLockGuard lock;
  g_last_run_thread = number;
}

void WakeWindow(Window* window) {
  if (window != nullptr && window->handle() != nullptr)
    PostMessageA(window->handle(), WM_NULL, 0, 0);
}

void SetMessageHook(MessageHook hook) { g_message_hook = hook; }
MessageHook CurrentMessageHook() { return g_message_hook; }
void SetModelessDialog(HWND dialog) { CurrentThread()->modeless_dialog = dialog; }

bool StartProcessTimer(uint32_t ms, ThreadTimerProc proc) {
  StopProcessTimer();
  g_process_timer = SetTimer(nullptr, 0, ms, nullptr);
  if (g_process_timer == 0) return false;
  CurrentThread()->timer_proc = proc;
  return true;
}

void StopProcessTimer() {
  if (g_process_timer == 0) return;
  KillTimer(nullptr, g_process_timer);
  g_process_timer = 0;
  CurrentThread()->timer_proc = nullptr;
}

void InitThreadManager(int32_t arg) {
  if (arg == 0) {
    SetRuntimeStartHooks(nullptr, &CreateMainThreadRecord);
    SetShutdownHook(ShutdownStep::kWaitForThreads, &WaitForWindowThreads);
    SetShutdownHook(ShutdownStep::kStopTimer, &StopProcessTimer);
  } else {
    SetRuntimeStartHooks(nullptr, nullptr);
    SetShutdownHook(ShutdownStep::kWaitForThreads, nullptr);
    SetShutdownHook(ShutdownStep::kStopTimer, nullptr);
  }
}

}  // namespace kor
