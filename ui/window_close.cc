// The close operation, the destruction of a window and the shutdown step.
#include "ui/window_close.h"

#include <algorithm>
#include <vector>

#include "ui/events.h"
#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window.h"
#include "ui/window_build.h"
#include "ui/window_proc.h"

namespace kor {

namespace {

// Paint messages are few and each validates its window; the bound only
// guards against a window that never does.
constexpr int kMaxPaints = 256;

void Mark(Window* w) {
  RuntimeLockGuard lock;
  w->state().close_pending = true;
}

// The windows from the top of the thread down to `w` (empty when `w` is not
// on the stack).
std::vector<Window*> WindowsDownTo(Window* w, ThreadRecord* thread) {
  RuntimeLockGuard lock;
  auto& stack = thread->stack;
  auto it = std::find(stack.begin(), stack.end(), w);
  if (it == stack.end()) return {};
  return std::vector<Window*>(stack.rbegin(), std::make_reverse_iterator(it));
}

// The next visible window below `w` on its stack, else its parent.
Window* WindowToActivate(Window* w) {
  RuntimeLockGuard lock;
  WindowState& s = w->state();
  auto& stack = s.thread->stack;
  auto it = std::find(stack.begin(), stack.end(), w);
  while (it != stack.begin()) {
    --it;
    if ((*it)->is_open() && IsWindowVisible((*it)->handle())) return *it;
  }
  return s.parent != nullptr && s.parent->is_open() ? s.parent : nullptr;
}

void Activate(Window* target, const ThreadRecord* thread) {
  if (target == nullptr) return;
  if (target->state().thread == thread) {
    SetActiveWindow(target->handle());
  } else {
    SetForegroundWindow(target->handle());
  }
}

void DispatchPendingPaints() {
  MSG msg;
  for (int i = 0; i < kMaxPaints && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
    DispatchMessageA(&msg);
}

void ResetClosed(WindowState& s) {
  RuntimeLockGuard lock;
  s.hwnd = nullptr;
  s.queue.Clear();
  s.close_pending = false;
  s.close_state = CloseState::kOpen;
  s.completion = false;
}

}  // namespace

void CloseWindowStack(Window* w) {
  if (!w->is_open()) return;
  ThreadRecord* thread = w->state().thread;
  if (thread != CurrentThread()) {
    Mark(w);
    PostMessageA(w->handle(), QueryMessage(kQueryContinueThread), 0, 0);
    return;
  }
  for (Window* x : WindowsDownTo(w, thread)) {
    if (!x->state().loops.empty()) {
      Mark(x);
    } else {
      DestroyWindowNow(x);
    }
  }
}

void ContinueClosing(Window* w) {
  if (!w->state().close_pending || !w->state().loops.empty()) return;
  CloseWindowStack(w);
}

void DestroyWindowNow(Window* w) {
  WindowState& s = w->state();
  HWND hwnd = s.hwnd;
  if (hwnd == nullptr) return;
  KillTimer(hwnd, kWindowTimerId);
  KillTimer(hwnd, kWaitTimerId);
  ShowWindow(hwnd, SW_HIDE);
  if (s.menu != nullptr) SetMenu(hwnd, nullptr);
  Activate(WindowToActivate(w), s.thread);
  DestroyWindow(hwnd);
  ResetClosed(s);
  // The platform window and its children are gone; now the objects go.
  s.controls.clear();
  s.default_button = nullptr;
  UnlinkWindow(w);
  ReleasePlatformObjects(w);
  DispatchPendingPaints();
}

void UnlinkWindow(Window* w) {
  ForgetStartParent(w);
  RuntimeLockGuard lock;
  WindowState& s = w->state();
  if (s.thread != nullptr) {
    auto& stack = s.thread->stack;
    stack.erase(std::remove(stack.begin(), stack.end(), w), stack.end());
  }
  if (s.parent != nullptr) {
    auto& siblings = s.parent->state().children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    // A parent waiting for its children looks again.
    if (s.parent->state().thread != s.thread) WakeWindow(s.parent);
  }
  for (Window* child : s.children) child->state().parent = nullptr;
  s.children.clear();
  s.parent = nullptr;
  s.below = nullptr;
}

void CloseAllWindows() {
  ThreadRecord* thread = CurrentThread();
  while (Window* top = TopWindowOf(thread)) {
    top->Close();
    // A window whose loop still runs cannot wait for it at shutdown.
    if (TopWindowOf(thread) == top) DestroyWindowNow(top);
  }
  for (Window* w : WindowsOfOtherThreads()) w->Close();
}

}  // namespace kor
