// The library state snapshot and its text forms.
#include "ui/library_state.h"

#include <stdio.h>

#include "ui/events.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

WindowLibraryState CurrentLibraryState() {
  WindowLibraryState out;
  Window* w = TopWindowUnlocked();
  if (w == nullptr) return out;
  const EventRecord& e = w->state().current;
  out.event = e.number();
  out.field = e.code == 0 ? 0 : e.field;
  out.accepted = out.event == kEventAccepted ? out.field : 0;
  out.focus = w->state().focus;
  out.first_field = w->FirstField();
  out.last_field = w->LastField();
  return out;
}

const char* ControlNameOfField(int32_t field) {
  Window* w = TopWindowUnlocked();
  Control* c = w == nullptr ? nullptr : w->ControlOf(field);
  if (c == nullptr || c->name().empty()) return nullptr;
  return c->name().c_str();
}

void FormatLibraryValue(char* out, size_t size, int32_t value, const char* name) {
  if (size == 0) return;
  if (value == 0) {
    snprintf(out, size, "0");
  } else if (name != nullptr && name[0] != '\0') {
    snprintf(out, size, "%s (%d (0%XH))", name, static_cast<int>(value),
             static_cast<unsigned>(value));
  } else {
    snprintf(out, size, "%d (0%XH)", static_cast<int>(value), static_cast<unsigned>(value));
  }
}

void FormatLibraryEvent(char* out, size_t size, int32_t event) {
  FormatLibraryValue(out, size, event, EventName(event));
}

void FormatLibraryField(char* out, size_t size, int32_t field) {
  FormatLibraryValue(out, size, field, ControlNameOfField(field));
}

void ProvideLibraryState(LibraryState* state) {
  const WindowLibraryState now = CurrentLibraryState();
  state->event = {now.event, EventName(now.event)};
  state->field = {now.field, ControlNameOfField(now.field)};
  state->focus = {now.focus, ControlNameOfField(now.focus)};
  state->accepted = {now.accepted, ControlNameOfField(now.accepted)};
  state->first_field = {now.first_field, ControlNameOfField(now.first_field)};
  state->last_field = {now.last_field, ControlNameOfField(now.last_field)};
}

}  // namespace kor
