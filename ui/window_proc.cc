// The shared window procedure: the thunk, the message switch and the typed
// handlers behind it.
#include "ui/window_proc.h"

#include <shellapi.h>

#include <string>

#include "runtime/os/os.h"
#include "ui/event_step.h"
#include "ui/events.h"
#include "ui/key_codes.h"
#include "ui/program_messages.h"
#include "ui/thread_state.h"
#include "ui/window.h"
#include "ui/window_build.h"
#include "ui/window_close.h"

namespace kor {

namespace {

StandardActionHandler g_action_handler = nullptr;
ActionStateHandler g_state_handler = nullptr;

constexpr int32_t kActionClose = 15;

void QueueWindowEvent(Window* w, int32_t number) { w->Post(number, 0); }

// A field event queued as it stands, also for field 0 (alert keys and drops
// of the window itself).
void QueueRecord(Window* w, int32_t number, int32_t field, uint16_t key) {
  EventRecord e = MakeEvent(number, field, nullptr, key);
  w->PostRecord(e);
}

bool MovesAreEvents(const Window* w) { return (w->state().record.attr2 & kWinMaxBox) != 0; }

int32_t SysCommandEvent(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_MOVE: return kEventMove;
    case SC_SIZE: return kEventSize;
    case SC_RESTORE: return kEventRestore;
    case SC_MAXIMIZE: return kEventMaximize;
    case SC_MINIMIZE: return kEventIconize;
    default: return 0;
  }
}

// Returns true when the program cycled: the action does not happen.
bool OnSysCommand(Window* w, WPARAM command) {
  int32_t number = SysCommandEvent(command);
  if (number == 0 || !MovesAreEvents(w)) return false;
  EventRecord e = MakeEvent(number, 0, nullptr, CurrentThread()->key_code);
  return DeliverNow(w, e) == Pass::kCycle;
}

void OnMove(Window* w) {
  WindowState& s = w->state();
  RECT now;
  if (!s.placed || !GetWindowRect(s.hwnd, &now) || IsIconic(s.hwnd)) return;
  bool moved = now.left != s.last_rect.left || now.top != s.last_rect.top;
  s.last_rect = now;
  if (moved && MovesAreEvents(w)) QueueWindowEvent(w, kEventMoved);
}

void OnSize(Window* w, WPARAM kind) {
  WindowState& s = w->state();
  uint32_t was = s.show_state;
  s.show_state = static_cast<uint32_t>(kind);
  if (!s.placed) return;
  RECT now;
  GetWindowRect(s.hwnd, &now);
  bool resized = (now.right - now.left) != (s.last_rect.right - s.last_rect.left) ||
                 (now.bottom - now.top) != (s.last_rect.bottom - s.last_rect.top);
  if (kind != SIZE_MINIMIZED) s.last_rect = now;
  if (kind == SIZE_MAXIMIZED && was != SIZE_MAXIMIZED) {
    QueueWindowEvent(w, kEventMaximized);
  } else if (kind == SIZE_MINIMIZED && was != SIZE_MINIMIZED) {
    QueueWindowEvent(w, kEventIconized);
  } else if (kind == SIZE_RESTORED && (was == SIZE_MAXIMIZED || was == SIZE_MINIMIZED)) {
    QueueWindowEvent(w, kEventRestored);
  } else if (kind == SIZE_RESTORED && resized && MovesAreEvents(w)) {
    QueueWindowEvent(w, kEventSized);
  }
}

void OnTimer(Window* w, UINT_PTR id) {
  if (id == kWindowTimerId) {
    QueueWindowEvent(w, kEventTimer);
  } else if (id == kWaitTimerId) {
    // Normally the pump takes it; a modal loop of the platform may not.
    FireWaitTimer(w);
  }
}

void OnDropFiles(Window* w, HDROP drop) {
  POINT at = {0, 0};
  DragQueryPoint(drop, &at);
  DragFinish(drop);
  HWND child = ChildWindowFromPoint(w->handle(), at);
  Control* c = w->ControlByHandle(child);
  QueueRecord(w, kEventDrop, c != nullptr ? c->field() : 0, CurrentThread()->key_code);
}

void OnCommand(Window* w, int id, int code, HWND child) {
  if (id == 0 && child == nullptr) {
    QueueRecord(w, kEventAlertKey, 0, CurrentThread()->key_code);
    return;
  }
  if (id < kControlIdBase) return;
  int32_t field = id - kControlIdBase;
  if (child == nullptr) {  // a menu item or an accelerator
    if (IsMenuField(w, field)) w->Post(kEventAccepted, field);
    return;
  }
  Control* c = w->ControlByHandle(child);
  if (c == nullptr) c = w->ControlOf(field);
  if (c == nullptr) return;
  if (c->action() != 0 && code == BN_CLICKED) {
    PerformStandardAction(w, c, c->action());
  } else {
    c->Command(code);
  }
}

LRESULT OnNotify(Window* w, NMHDR* header) {
  Control* c = w->ControlByHandle(header->hwndFrom);
  return c != nullptr ? c->Notify(header) : 0;
}

std::string ProgramModuleName() {
  std::string path = OsExecutablePath();
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Logging off or shutting down while the program runs is refused.
LRESULT OnQueryEndSession(Window* w) {
  SetForegroundWindow(w->handle());
  MessageBoxA(w->handle(), kStillActiveText, ProgramModuleName().c_str(),
              MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
  return FALSE;
}

void OnActivate(Window* w, WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) return;
  if (w->state().thread != nullptr) NoteFocusThread(w->state().thread->number);
  UpdateActionStates(w);
}

// The window itself got the focus: hand it to the current control.
void OnSetFocus(Window* w) {
  Control* c = w->ControlOf(w->state().focus);
  HWND target = c != nullptr ? c->handle() : GetNextDlgTabItem(w->handle(), nullptr, FALSE);
  if (target != nullptr && IsWindowVisible(target) && IsWindowEnabled(target)) SetFocus(target);
}

void OnQuery(Window* w, int32_t query, WPARAM wparam) {
  if (query == kQuerySelected) {
    w->Post(kEventSelected, static_cast<int32_t>(wparam));
  } else if (query == kQueryContinueThread) {
    ContinueClosing(w);
  }
}

// The message switch: unpacks the arguments and calls the typed handler.
LRESULT HandleMessage(Window* w, HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_CLOSE: QueueWindowEvent(w, kEventCloseWindow); return 0;
    case WM_SYSCOMMAND:
      if (OnSysCommand(w, wp)) return 0;
      break;
    case WM_MOVE: OnMove(w); break;
    case WM_SIZE: OnSize(w, wp); break;
    case WM_TIMER: OnTimer(w, wp); return 0;
    case WM_DROPFILES: OnDropFiles(w, reinterpret_cast<HDROP>(wp)); return 0;
    case WM_COMMAND: OnCommand(w, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    case WM_NOTIFY: return OnNotify(w, reinterpret_cast<NMHDR*>(lp));
    case WM_QUERYENDSESSION: return OnQueryEndSession(w);
    case WM_ACTIVATE: OnActivate(w, wp); break;
    case WM_SETFOCUS: OnSetFocus(w); return 0;
    default:
      if (message > static_cast<UINT>(kEventBase + 4096) &&
          message <= static_cast<UINT>(kEventBase + kQueryEditDone)) {
        OnQuery(w, static_cast<int32_t>(message) - kEventBase, wp);
        return 0;
      }
      if (RunProgramMessage(message, static_cast<uintptr_t>(lp))) return 0;
      break;
  }
  return DefWindowProcA(hwnd, message, wp, lp);
}

Window* Attach(HWND hwnd, LPARAM lp) {
  auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
  auto* w = static_cast<Window*>(create->lpCreateParams);
  if (w == nullptr) return nullptr;
  SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(w));
  w->state().hwnd = hwnd;
  w->Post(kEventOpenWindow, 0);
  return w;
}

}  // namespace

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* w = message == WM_NCCREATE ? Attach(hwnd, lparam)
                                     : reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, 0));
  if (w == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, 0, 0);
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  return HandleMessage(w, hwnd, message, wparam, lparam);
}

UINT QueryMessage(int32_t query) { return static_cast<UINT>(kEventBase + query); }

void SetStandardActionHandler(StandardActionHandler handler) { g_action_handler = handler; }

void SetActionStateHandler(ActionStateHandler handler) { g_state_handler = handler; }

void UpdateActionStates(Window* window) {
  if (g_state_handler != nullptr && window != nullptr) g_state_handler(window);
}

void PerformStandardAction(Window* window, Control* control, int32_t code) {
  if (code == kActionClose) {
    QueueWindowEvent(window, kEventCloseWindow);
  } else if (g_action_handler != nullptr) {
    g_action_handler(window, control, code);
  }
}

}  // namespace kor
