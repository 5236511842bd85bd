// The state functions over the thread's top window.
#include "ui/state_functions.h"

#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "ui/key_codes.h"
#include "ui/runtime_lock.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

const EventRecord* CurrentEvent() {
  Window* w = TopWindow();
  if (w == nullptr || w->state().current.code == 0) return nullptr;
  return &w->state().current;
}

int32_t EVENT() {
  const EventRecord* e = CurrentEvent();
  return e == nullptr ? 0 : e->number();
}

int32_t FIELD() {
  const EventRecord* e = CurrentEvent();
  return e == nullptr ? 0 : e->field;
}

int32_t ACCEPTED() { return EVENT() == kEventAccepted ? FIELD() : 0; }

int32_t FOCUS() {
  Window* w = TopWindow();
  return w == nullptr ? 0 : w->state().focus;
}

int32_t FIRSTFIELD() {
  Window* w = TopWindow();
  return w == nullptr ? 0 : w->FirstField();
}

int32_t LASTFIELD() {
  Window* w = TopWindow();
  return w == nullptr ? 0 : w->LastField();
}

uint16_t KeyCode() {
  const EventRecord* e = CurrentEvent();
  return (e != nullptr ? e->key : CurrentThread()->key_code) & kKeyCodeMask;
}

void SetKeyCode(uint16_t code) {
  ThreadRecord* t = CurrentThread();
  auto low11 = [code](uint16_t key) {
    return static_cast<uint16_t>((key & ~kKeyCodeMask) | (code & kKeyCodeMask));
  };
  t->key_code = low11(t->key_code);
  Window* w = TopWindow();
  if (w != nullptr && w->state().current.code != 0)
    w->state().current.key = low11(w->state().current.key);
}

char KeyCharacter() {
  const EventRecord* e = CurrentEvent();
  if (e != nullptr && e->character != 0) return e->character;
  if (e == nullptr && CurrentThread()->key_char != 0) return CurrentThread()->key_char;
  return CharacterOfKey(KeyCode());
}

void SelectField(int32_t field, int32_t start, int32_t end) {
  Window* w = TopWindow();
  if (w == nullptr) return;
  WindowState& s = w->state();
  if (field == 0) {
    s.completion = true;
    s.completion_cursor = 0;
    return;
  }
  Control* c = w->ControlOf(field);
  if (c == nullptr) return;
  s.completion = false;
  s.completion_cursor = 0;
  s.focus = field;
  c->Select(start, end);
}

void PostEvent(int32_t event, int32_t field, int32_t thread) {
  Window* target = nullptr;
  {
    RuntimeLockGuard lock;
    ThreadRecord* t = FindThread(thread);
    if (t != nullptr && !t->stack.empty()) target = t->stack.back();
    if (target != nullptr) target->Post(event, field);
  }
}

void PRESS(const uint16_t* keys, size_t count) {
  ClearError();
  if (!CurrentThread()->keys.Push(keys, count)) PostError(kErrTooManyKeystrokes);
}

void PRESS(std::initializer_list<uint16_t> keys) { PRESS(keys.begin(), keys.size()); }

void PRESS(std::string_view text) {
  std::vector<uint16_t> keys;
  for (char c : text) {
    uint16_t key = KeyCodeOfCharacter(c);
    if (key != 0) keys.push_back(key);
  }
  PRESS(keys.data(), keys.size());
}

int32_t ControlChoice(int32_t field) {
  Window* w = TopWindow();
  if (w == nullptr) return 0;
  if (field == 0) field = FIELD();
  Control* c = w->ControlOf(field);
  return c == nullptr ? 0 : c->Choice();
}

void RefreshDisplay(int32_t first, int32_t last) {
  Window* w = TopWindow();
  if (w == nullptr) return;
  bool all = first == 0 && last == 0;
  if (last == 0) last = first;
  for (const auto& c : w->state().controls)
    if (all || (c->field() >= first && c->field() <= last)) c->Refresh();
  if (all && w->is_open()) {
    InvalidateRect(w->handle(), nullptr, TRUE);
    UpdateWindow(w->handle());
  }
}

}  // namespace kor
