// The event step: completion, the closing protocol, thread switches and the
// delivery of each event to the loop body.
#include "ui/event_step.h"

#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window_build.h"
#include "ui/window_proc.h"

namespace kor {

namespace {

DdeAnswerHook g_dde_answer = nullptr;
int32_t g_focus_reported = 0;  // locked: the focus thread the events last told of

void PostToTopOf(int32_t thread, int32_t number) {
  ThreadRecord* record = FindThread(thread);
  Window* top = record == nullptr || record->stack.empty() ? nullptr : record->stack.back();
  if (top != nullptr) top->Post(number, 0);
}

// Step 1: the focus moved between threads.
void CheckFocusThread() {
  RuntimeLockGuard lock;
  int32_t now = FocusThread();
  if (now == g_focus_reported) return;
  int32_t was = g_focus_reported;
  g_focus_reported = now;
  if (was == 0 || now == 0) return;  // the first activation moves from nowhere
  PostToTopOf(was, kEventLoseFocus);
  PostToTopOf(now, kEventGainFocus);
}

// Step 2: completion mode with an empty queue.
void RunCompletion(Window* w) {
  WindowState& s = w->state();
  for (const auto& c : s.controls) {
    if (c->field() <= s.completion_cursor || !c->NeedsAccept()) continue;
    s.completion_cursor = c->field();
    if (!c->AcceptForCompletion()) s.completion = false;
    return;
  }
  s.completion = false;
  s.completion_cursor = 0;
  w->Post(kEventCompleted, 0);
}

bool IsClosingOrGone(Window* child) {
  return !child->is_open() || child->state().close_state != CloseState::kOpen ||
         child->state().close_pending;
}

enum class Next { kEvent, kNone, kEndLoop };

// Step 5 (the caller holds the lock): closing with an empty queue.
Next ClosingStep(Window* w) {
  WindowState& s = w->state();
  bool any_open = false;
  for (Window* child : s.children) {
    if (!child->is_open()) continue;
    any_open = true;
    if (s.close_state == CloseState::kClosing && !IsClosingOrGone(child)) {
      child->Post(kEventCloseDown, 0);
      s.close_state = CloseState::kWaiting;
      return Next::kNone;
    }
  }
  if (any_open) {
    s.close_state = CloseState::kWaiting;
    return Next::kNone;
  }
  return Next::kEndLoop;
}

Next TakeNext(Window* w, EventRecord* out) {
  WindowState& s = w->state();
  for (;;) {
    {
      RuntimeLockGuard lock;
      if (s.queue.Take(out)) return Next::kEvent;
      if (!s.completion) {
        return s.close_state == CloseState::kOpen ? Next::kNone : ClosingStep(w);
      }
    }
    RunCompletion(w);
  }
}

// EVENT:Suspend to the thread that ran last, EVENT:Resume here first. true
// when the event went back to the queue behind EVENT:Resume.
bool SwitchThreads(Window* w, const EventRecord& e) {
  if (e.number() == kEventSuspend || e.number() == kEventResume) return false;
  int32_t me = w->state().thread->number;
  RuntimeLockGuard lock;
  int32_t last = LastRunThread();
  SetLastRunThread(me);
  if (last == 0 || last == me) return false;
  PostToTopOf(last, kEventSuspend);
  w->state().queue.PushFront(e);
  w->state().queue.PushFront(MakeEvent(kEventResume, 0, &e, e.key));
  return true;
}

void MakeCurrent(Window* w, int32_t field) {
  WindowState& s = w->state();
  if (field == s.focus) return;
  s.focus = field;
  // The windows do not scroll: every control is in view already.
  if (Control* c = w->ControlOf(field)) c->OnSelected();
  UpdateActionStates(w);
}

Pass RunBody(Window* w, const EventRecord& e) {
  WindowState& s = w->state();
  s.current = e;
  if (s.thread != nullptr) s.thread->key_code = e.key;
  if (s.loops.empty()) return Pass::kContinue;
  ++s.passes_running;
  Pass pass = (*s.loops.back())();
  --s.passes_running;
  return pass;
}

void AfterCloseDown(Window* w, Pass pass) {
  WindowState& s = w->state();
  RuntimeLockGuard lock;
  Window* parent = s.parent;
  bool refused = pass == Pass::kCycle;
  if (!refused) s.close_state = CloseState::kClosing;
  if (parent == nullptr || parent->state().close_state != CloseState::kWaiting) return;
  parent->state().close_state = refused ? CloseState::kOpen : CloseState::kClosing;
  if (refused) MessageBeep(0);
  WakeWindow(parent);
}

void AfterDelivery(Window* w, const EventRecord& e, Pass pass) {
  WindowState& s = w->state();
  switch (e.number()) {
    case kEventCloseDown: AfterCloseDown(w, pass); break;
    case kEventCloseWindow:
      if (pass != Pass::kCycle) {
        RuntimeLockGuard lock;
        s.close_state = CloseState::kClosing;
      }
      break;
    case kEventOpenFailed: s.break_requested = true; break;
    case kEventDdeExecute:
    case kEventDdePoke:
      if (g_dde_answer != nullptr) g_dde_answer(w, e, pass != Pass::kCycle);
      break;
    default: break;
  }
}

bool LoopMustEnd(Window* w) {
  WindowState& s = w->state();
  RuntimeLockGuard lock;
  return !w->is_open() || s.close_pending || s.break_requested;
}

}  // namespace

StepResult DeliverPendingEvents(Window* w) {
  WindowState& s = w->state();
  for (;;) {
    if (LoopMustEnd(w)) return StepResult::kEnd;
    if (TopWindowOf(s.thread) != w) return StepResult::kIdle;
    CheckFocusThread();
    EventRecord e;
    Next next = TakeNext(w, &e);
    if (next == Next::kNone) return StepResult::kIdle;
    if (next == Next::kEndLoop) {
      RuntimeLockGuard lock;
      s.close_pending = true;
      return StepResult::kEnd;
    }
    if (SwitchThreads(w, e)) continue;
    if (e.number() == kEventSelected) MakeCurrent(w, e.field);
    Pass pass = RunBody(w, e);
    AfterDelivery(w, e, pass);
    if (pass == Pass::kBreak) return StepResult::kEnd;
  }
}

Pass DeliverNow(Window* w, const EventRecord& event) {
  WindowState& s = w->state();
  if (s.loops.empty()) return Pass::kContinue;
  EventRecord saved = s.current;
  Pass pass = RunBody(w, event);
  s.current = saved;
  if (pass == Pass::kBreak) s.break_requested = true;
  return pass;
}

void FireWaitTimer(Window* w) {
  WindowState& s = w->state();
  KillTimer(s.hwnd, kWaitTimerId);
  WaitTimerProc proc = s.wait_proc;
  s.wait_proc = nullptr;
  if (proc != nullptr) proc(w, s.wait_arg);
}

void SetDdeAnswerHook(DdeAnswerHook hook) { g_dde_answer = hook; }

}  // namespace kor
