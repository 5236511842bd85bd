// The window object: declaring, opening, its controls and posting to it.
#include "ui/window.h"

#include <algorithm>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/core/runtime_error.h"
#include "ui/resource/window_lookup.h"
#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window_build.h"
#include "ui/window_close.h"

namespace kor {

namespace {

// The fields an opening starts from; what was declared stays.
void ResetForOpen(WindowState& s) {
  s.addresses = AddressList(s.declared.data());
  s.current = EventRecord();
  s.passes_running = 0;
  s.focus = 0;
  s.completion = false;
  s.completion_cursor = 0;
  s.close_state = CloseState::kOpen;
  s.close_pending = false;
  s.break_requested = false;
  s.queue.Clear();
  s.controls.clear();
  s.default_button = nullptr;
  s.show_state = SIZE_RESTORED;
  s.placed = false;
  s.wait_proc = nullptr;
}

// Puts the window on its thread's stack and in its parent's child list.
void Link(Window* w, ThreadRecord* thread) {
  RuntimeLockGuard lock;
  WindowState& s = w->state();
  s.thread = thread;
  s.below = thread->stack.empty() ? nullptr : thread->stack.back();
  s.parent = s.below != nullptr ? s.below : thread->start_parent;
  thread->stack.push_back(w);
  if (s.parent != nullptr) s.parent->state().children.push_back(w);
}

// Finds the record, or stops the runtime: 502 for a window no module holds
// or a record that does not decode.
bool LoadRecord(WindowState& s, WindowTree* tree) {
  int32_t offset = FindWindowRecordOrStop(s.module, s.label);
  if (offset == 0) return false;
  DecodeError error;
  if (!DecodeWindowTree(CurrentWindowResource(), offset, tree, &error)) {
    RaiseRuntimeError(kErrInternal02, error.what.c_str());
    return false;
  }
  s.module_instance = CurrentResourceModule();
  return true;
}

}  // namespace

Window::Window() = default;

Window::~Window() {
  if (is_open()) DestroyWindowNow(this);
}

void Window::Declare(std::string_view module, std::string_view label, void* const* addresses) {
  state_.module.assign(module);
  state_.label.assign(label);
  state_.declared.clear();
  for (void* const* p = addresses; p != nullptr && *p != nullptr; ++p)
    state_.declared.push_back(*p);
  state_.declared.push_back(nullptr);
}

bool Window::Open() {
  ClearError();
  if (is_open()) {
    PostError(kErrWindowAlreadyOpen);
    return false;
  }
  if (state_.declared.empty()) state_.declared.push_back(nullptr);
  WindowTree tree;
  if (!LoadRecord(state_, &tree)) return false;
  ResetForOpen(state_);
  state_.record = tree.window;
  Link(this, CurrentThread());
  if (!BuildPlatformWindow(this, tree)) {
    UnlinkWindow(this);
    ReleasePlatformObjects(this);
    PostError(kErrWindowOpen);
    return false;
  }
  BuildControls(this, tree);
  StartWindowTimer(this);
  return true;
}

void Window::Close() { CloseWindowStack(this); }

Control* Window::AddControl(std::unique_ptr<Control> control) {
  Control* c = control.get();
  state_.controls.push_back(std::move(control));
  if (c->type() == kRecButton && (c->record().options & 1) != 0) state_.default_button = c;
  return c;
}

Control* Window::ControlOf(int32_t field) const {
  if (field == 0) return nullptr;
  for (const auto& c : state_.controls)
    if (c->field() == field) return c.get();
  return nullptr;
}

Control* Window::ControlByHandle(HWND handle) const {
  if (handle == nullptr) return nullptr;
  for (const auto& c : state_.controls)
    if (c->handle() == handle) return c.get();
  return nullptr;
}

int32_t Window::FirstField() const {
  int32_t first = 0;
  for (const auto& c : state_.controls)
    if (c->field() != 0 && (first == 0 || c->field() < first)) first = c->field();
  return first;
}

int32_t Window::LastField() const {
  int32_t last = 0;
  for (const auto& c : state_.controls) last = std::max(last, c->field());
  return last;
}

void Window::Post(int32_t number, int32_t field) {
  if (IsFieldEvent(number) && ControlOf(field) == nullptr && !IsMenuField(this, field)) return;
  if (!IsFieldEvent(number)) field = 0;
  Window* top = TopWindow();
  const EventRecord* base =
      top != nullptr && top->state().passes_running > 0 ? &top->state().current : nullptr;
  ThreadRecord* thread = CurrentThread();
  PostRecord(MakeEvent(number, field, base, thread->key_code));
}

void Window::PostRecord(const EventRecord& event) {
  {
    RuntimeLockGuard lock;
    if (!is_open()) return;
    state_.queue.Append(event);
  }
  if (state_.thread != nullptr && state_.thread->os_thread != GetCurrentThreadId())
    WakeWindow(this);
}

void Window::SetWaitTimer(uint32_t ms, WaitTimerProc proc, void* arg) {
  if (!is_open()) return;
  KillTimer(state_.hwnd, kWaitTimerId);
  state_.wait_proc = ms == 0 ? nullptr : proc;
  state_.wait_arg = arg;
  if (ms != 0) SetTimer(state_.hwnd, kWaitTimerId, ms, nullptr);
}

std::unique_ptr<Window> DeclareWindow(std::string_view module, std::string_view label,
                                      void* const* addresses) {
  auto window = std::make_unique<Window>();
  window->Declare(module, label, addresses);
  return window;
}

}  // namespace kor
