// The language's window state functions and statements that work on the
// calling thread's top window and its current event.
//
//   EVENT()        number of the current event; 0 when there is none (also
//                  with no window open)
//   FIELD()        field number of the current event's control; 0 for window
//                  events
//   ACCEPTED()     FIELD() when the current event is EVENT:Accepted, else 0
//   FOCUS()        field number of the window's current control
//   FIRSTFIELD(), LASTFIELD()   lowest and highest field number of a control
//   KeyCode()      the 11-bit key code of the current event, or of the thread
//                  when there is no event
//   KeyCharacter() the current key's own character when it has one, else the
//                  character its key code types
//   PRESS          keystrokes for the focused control, fed when the window is
//                  idle; more than 1024 pending posts 534 and none is added
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "ui/event_queue.h"

namespace kor {

int32_t EVENT();
int32_t FIELD();
int32_t ACCEPTED();
int32_t FOCUS();
int32_t FIRSTFIELD();
int32_t LASTFIELD();

// The current event of the thread's top window; null when there is none.
const EventRecord* CurrentEvent();

uint16_t KeyCode();
// Replaces the low 11 bits of the thread's and the current event's key code.
void SetKeyCode(uint16_t code);
char KeyCharacter();

// Field 0 puts the top window into completion mode (EVENT:Completed when
// every control that needs it has been accepted); any other field ends
// completion mode, gives that control the focus, makes it the current
// control and selects the text range start..end in it.
void SelectField(int32_t field, int32_t start = 0, int32_t end = -1);

// Appends an event to the top window of thread `thread` (0 = the calling
// thread). Nothing happens when that thread has no window; a field event for
// a field the window lacks is dropped.
void PostEvent(int32_t event, int32_t field = 0, int32_t thread = 0);

// Keystrokes, oldest first, in the runtime's key codes.
void PRESS(const uint16_t* keys, size_t count);
void PRESS(std::initializer_list<uint16_t> keys);
// The keystrokes that type a text (each character's key code).
void PRESS(std::string_view text);

// The control's current choice (field 0: the current event's control); 0
// when the field does not exist.
int32_t ControlChoice(int32_t field = 0);
// Each control from `first` to `last` reloads its value from its variable;
// with no range (0, 0) every control does and the window is repainted.
void RefreshDisplay(int32_t first = 0, int32_t last = 0);

}  // namespace kor
