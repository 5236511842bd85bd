// The runtime's threads as the window library sees them: one record per
// thread that uses windows, with its stack of open windows, its key code,
// its keystroke buffer and its hooks into the pump, and the numbering that
// lets one thread post an event to another.
//
// The main thread is thread 1; threads started with StartWindowThread are
// numbered 2, 3 ... A thread gets its record the first time it asks
// (CurrentThread), the main thread at RuntimeStart. The records and the
// stacks are shared between threads: they change under the runtime lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/key_buffer.h"

namespace kor {

class Window;

// Called for a timer message that has no window (the process-wide timer).
using ThreadTimerProc = void (*)(UINT_PTR id);

struct ThreadRecord {
  int32_t number = 0;
  DWORD os_thread = 0;
  std::vector<Window*> stack;      // bottom first; locked
  Window* start_parent = nullptr;  // parent of the first window of a started thread
  uint16_t key_code = 0;           // 11-bit, of the last key seen or set
  char key_char = 0;               // the last key's own character
  KeyBuffer keys;                  // PRESSed keystrokes
  ThreadTimerProc timer_proc = nullptr;
  HWND modeless_dialog = nullptr;  // gets its messages before dispatch
  int32_t loop_nesting = 0;        // ACCEPT loops running on the thread
  int32_t seen_focus_thread = 0;   // focus thread at the last event step
};

// The calling thread's record (made on first use).
ThreadRecord* CurrentThread();
// The record of thread `number` (0 = the calling thread); null when there is
// none. Call under the runtime lock when it is another thread's.
ThreadRecord* FindThread(int32_t number);
// The thread's top window; null when it has none. Locked inside.
Window* TopWindowOf(ThreadRecord* thread);
// The calling thread's top window, or null.
Window* TopWindow();
// The same without the lock and without making a record: for the fault
// report, which must not wait.
Window* TopWindowUnlocked();

// Every window open on the other threads, each thread's newest first.
std::vector<Window*> WindowsOfOtherThreads();
// A window that closes stops being the parent-to-be of started threads.
void ForgetStartParent(Window* window);

// Starts `proc(arg)` on a new runtime thread whose first window has the
// calling thread's top window as its parent. Returns the thread's number,
// 0 when the platform refused. The thread's windows still open when `proc`
// returns are closed.
int32_t StartWindowThread(void (*proc)(void* arg), void* arg);
// Waits until every started thread has ended, answering messages sent to
// the calling thread meanwhile (the kWaitForThreads step of the shutdown).
void WaitForWindowThreads();

// The thread whose window was activated last (0 before any), set by the
// window procedure.
void NoteFocusThread(int32_t number);
int32_t FocusThread();
// The thread that delivered the last event (for EVENT:Suspend/Resume).
int32_t LastRunThread();
void SetLastRunThread(int32_t number);

// Wakes a thread's pump (a null message to its top window) so that it looks
// at its queue again.
void WakeWindow(Window* window);

// Pump hooks: the process-wide message hook (true = the message is taken)
// and the modeless dialog of the calling thread.
using MessageHook = bool (*)(MSG* msg);
void SetMessageHook(MessageHook hook);
MessageHook CurrentMessageHook();
void SetModelessDialog(HWND dialog);

// The process-wide timer (a platform timer without a window, on the thread
// that starts it): `proc` runs on each tick from that thread's pump.
// StopProcessTimer kills it (the kStopTimer step of the shutdown).
bool StartProcessTimer(uint32_t ms, ThreadTimerProc proc);
void StopProcessTimer();

// Start-up entry (priority 150): the main thread's record at RuntimeStart.
void InitThreadManager(int32_t arg);

}  // namespace kor
