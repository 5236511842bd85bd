// The window library's state as the fault report prints it: the current
// event and the field values of the calling thread's top window, the names
// that go with them, and their text forms.
//
// The report prints, under "Library State:",
//   "  EVENT      = %s"   the event: "EVENT:Accepted (1 (01H))"
//   "  FIELD      = %s"   and FOCUS, ACCEPTED, FIRSTFIELD, LASTFIELD: the
//                          control's name when it has one, "Name (3 (03H))",
//                          else "3 (03H)"; zero prints "0".
// Nothing here takes a lock or allocates: the report runs in a fault handler.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/library_snapshot.h"

namespace kor {

struct WindowLibraryState {
  int32_t event = 0;  // number of the current event
  int32_t field = 0;
  int32_t focus = 0;
  int32_t accepted = 0;
  int32_t first_field = 0;
  int32_t last_field = 0;
};

// Of the calling thread's top window; all zero when it has none.
WindowLibraryState CurrentLibraryState();
// The name of control `field` of the top window; null when it has no name
// or there is no such control.
const char* ControlNameOfField(int32_t field);

// "0"; "%s (%d (0%XH))" with the name; "%d (0%XH)" without one. The text is
// cut to size - 1 characters.
void FormatLibraryValue(char* out, size_t size, int32_t value, const char* name);
// The EVENT line's value (the event's name from the message-name table).
void FormatLibraryEvent(char* out, size_t size, int32_t event);
// A field value with the top window's control name.
void FormatLibraryField(char* out, size_t size, int32_t field);

// The fault report's provider: the numbers above with the event's name from
// the message-name table and the top window's control names. Installed at
// start-up by the window library's globals entry.
void ProvideLibraryState(LibraryState* state);

}  // namespace kor
