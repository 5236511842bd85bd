// The ACCEPT pump: start of the loop, the turns, the idle step and the way
// one platform message goes.
#include "ui/accept.h"

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "ui/event_step.h"
#include "ui/key_codes.h"
#include "ui/pretranslate.h"
#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window_build.h"
#include "ui/window_close.h"

namespace kor {

namespace {

constexpr UINT kToFrontMessage = WM_APP + 0x3F0;  // a thread message
// Reserved bits 25-28 of a key message's lParam: 28 marks a PRESSed key,
// 25-27 carry its Shift, Ctrl and Alt bits.
constexpr LPARAM kPressedMark = 0x10000000;
constexpr int kPressedShift = 25 - 8;
constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000000u);

IdleHook g_idle_hook = nullptr;

// Shows the window, brings it to the top and paints it.
void StartOfLoop(Window* w) {
  HWND h = w->handle();
  if (!IsWindowVisible(h)) ShowWindow(h, ShowCommandOf(w->state().record));
  BringWindowToTop(h);
  SetForegroundWindow(h);
  UpdateWindow(h);
}

HWND KeyTarget(Window* w) {
  HWND focus = GetFocus();
  if (focus != nullptr && (focus == w->handle() || IsChild(w->handle(), focus))) return focus;
  return w->handle();
}

// Feeds one PRESSed key: its key-down goes through the pump like a typed one.
void FeedKey(Window* w, uint16_t key) {
  LPARAM mark = 1 | kPressedMark | (static_cast<LPARAM>(key & 0x700) << kPressedShift);
  UINT down = (key & kKeyAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN;
  PostMessageA(KeyTarget(w), down, key & 0xFF, mark);
}

void IdleStep(Window* w, ThreadRecord* t) {
  uint16_t key;
  if (t->keys.Pop(&key)) FeedKey(w, key);
  if (g_idle_hook != nullptr) g_idle_hook(w);
}

// A PRESSed key that nothing took: it types its character and is released.
void FinishPressedKey(const MSG& down) {
  uint16_t key = KeyCodeOf(down);
  char c = CharacterOfKey(key);
  if (c != 0) {
    MSG typed = down;
    typed.message = (key & kKeyAlt) ? WM_SYSCHAR : WM_CHAR;
    typed.wParam = static_cast<unsigned char>(c);
    DispatchMessageA(&typed);
  }
  MSG up = down;
  up.message = down.message == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP;
  up.lParam = down.lParam | kKeyUpBits;
  DispatchMessageA(&up);
}

// The keystroke logic: the thread keeps the code and character of the keys
// it sees, and the code of a mouse-button press (1 left, 2 right ...), which
// the events it causes carry (a list's right press asks for its pop-up).
void NoteKeys(ThreadRecord* t, const MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    t->key_code = KeyCodeOf(msg);
    t->key_char = 0;
  } else if (uint16_t button = KeyCodeOfMessage(msg); button != 0) {
    t->key_code = button;
    t->key_char = 0;
  } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
    t->key_char = static_cast<char>(msg.wParam);
  }
}

// Messages the pump itself takes; true when taken.
bool PumpTakes(Window* w, ThreadRecord* t, const MSG& msg) {
  if (msg.hwnd == nullptr && msg.message == kToFrontMessage) {
    if (Window* top = TopWindowOf(t)) SetForegroundWindow(top->handle());
    return true;
  }
  if (msg.message != WM_TIMER) return false;
  if (msg.hwnd == w->handle() && msg.wParam == kWaitTimerId) {
    FireWaitTimer(w);
    return true;
  }
  if (msg.hwnd == nullptr && t->timer_proc != nullptr) {
    t->timer_proc(msg.wParam);
    return true;
  }
  return false;
}

void PumpMessage(Window* w, ThreadRecord* t, MSG* msg) {
  if (PumpTakes(w, t, *msg)) return;
  NoteKeys(t, *msg);
  if (PreTranslate(w, msg)) return;
  if (t->modeless_dialog != nullptr && IsDialogMessageA(t->modeless_dialog, msg)) return;
  MessageHook hook = CurrentMessageHook();
  if (hook != nullptr && hook(msg)) return;
  bool pressed = IsPressedKey(*msg);
  if (!pressed) TranslateMessage(msg);
  DispatchMessageA(msg);
  if (pressed && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN))
    FinishPressedKey(*msg);
}

// The next platform message, as GetMessage answers (0 for WM_QUIT). A message
// already waiting is taken at once; only when none is waiting does the idle
// step run before the blocking get. Taking the waiting one with the peek
// itself saves the platform a second look at the queue per message.
int NextMessage(Window* w, ThreadRecord* t, MSG* msg) {
  if (PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
  IdleStep(w, t);
  return GetMessageA(msg, nullptr, 0, 0);
}

void RunPump(Window* w, const LoopBody& body) {
  WindowState& s = w->state();
  ThreadRecord* t = s.thread;
  s.loops.push_back(&body);
  ++t->loop_nesting;
  StartOfLoop(w);
  while (w->is_open() && IsWindow(s.hwnd)) {
    if (DeliverPendingEvents(w) == StepResult::kEnd) break;
    MSG msg;
    int got = NextMessage(w, t, &msg);
    if (got <= 0) {
      // WM_QUIT ends every loop: put it back for the loops outside this one.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    PumpMessage(w, t, &msg);
  }
  s.loops.pop_back();
  --t->loop_nesting;
  s.break_requested = false;
  if (!s.loops.empty() || !w->is_open()) return;
  bool pending;
  {
    RuntimeLockGuard lock;
    pending = s.close_pending;
  }
  if (pending) CloseWindowStack(w);
}

}  // namespace

void ACCEPT(const LoopBody& body) {
  ClearError();
  Window* w = TopWindowOf(CurrentThread());
  if (w == nullptr || !w->is_open()) {
    PostError(kErrAcceptNeedsWindow);
    return;
  }
  RunPump(w, body);
}

void BringThreadToFront(int32_t number) {
  ThreadRecord* t = FindThread(number);
  if (t != nullptr) PostThreadMessageA(t->os_thread, kToFrontMessage, 0, 0);
}

void SetIdleHook(IdleHook hook) { g_idle_hook = hook; }

bool IsPressedKey(const MSG& msg) {
  bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
  return key && (msg.lParam & kPressedMark) != 0;
}

uint16_t KeyCodeOf(const MSG& msg) {
  if (!IsPressedKey(msg)) return KeyCodeOfMessage(msg);
  uint16_t mods = static_cast<uint16_t>((msg.lParam >> kPressedShift) & 0x700);
  return static_cast<uint16_t>((msg.wParam & 0xFF) | mods);
}

}  // namespace kor
