// The snapshot of the window library's state that ends the fault report: the
// current event, FIELD, FOCUS, ACCEPTED, FIRSTFIELD and LASTFIELD as text,
// and the error state's code and text.
//
// The window library sits above the runtime core, so it tells its state
// through a provider it installs at start-up; until it does (and in programs
// without windows) every number is 0. Each number is shown as
//   "0"                      for zero,
//   "%s (%d (0%XH))"         with the name the provider gives,
//   "%d (0%XH)"              when it gives none,
// cut to 59 characters. The names are the window library's: event names from
// its table of events ("EVENT:Accepted" ...), control names from the current
// window; this layer keeps no table of them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor {

// One number of the state and its name (null or empty: it has none). A name
// given with the number 0 is not shown: zero is always "0".
struct LibraryStateValue {
  int32_t number;
  const char* name;
};

// What the window library tells of its state, for the faulting thread's top
// window (all zero when it has none):
//   event        the current event's number, named from the library's table
//                of event names ("EVENT:Accepted" for 1)
//   field        FIELD: the control of the current event
//   focus        FOCUS: the control that has the focus
//   accepted     ACCEPTED: the control last accepted
//   first_field  FIRSTFIELD: the lowest field number of the window
//   last_field   LASTFIELD: the highest field number of the window
// The five control entries carry the field number and the control's name in
// the top window ("?MakeButton"), or no name when the control has none.
struct LibraryState {
  LibraryStateValue event;
  LibraryStateValue field;
  LibraryStateValue focus;
  LibraryStateValue accepted;
  LibraryStateValue first_field;
  LibraryStateValue last_field;
};

// Fills *state, which is all zero on entry: an entry left alone reads "0".
// It runs inside the fault handler, on the faulting thread, perhaps in the
// middle of a dispatch of that same thread: it only reads the library's
// plain fields, takes no lock, sends no message, does not allocate, and
// gives names that outlive the call (static tables, the window's own
// strings). The names are copied and cut as above.
//
// The window library installs one at start-up, e.g.
//   void GiveState(kor::LibraryState* s) {
//     s->event = {event, EventName(event)};
//     s->field = {field, ControlName(top, field)};
//     ...
//   }
//   kor::SetLibraryStateProvider(GiveState);
using LibraryStateProvider = void (*)(LibraryState* state);
// Installs the provider (from any thread); null removes it.
void SetLibraryStateProvider(LibraryStateProvider provider);

// 59 characters and a zero.
inline constexpr size_t kSnapshotTextSize = 60;

struct LibrarySnapshot {
  char event[kSnapshotTextSize];
  char field[kSnapshotTextSize];
  char focus[kSnapshotTextSize];
  char accepted[kSnapshotTextSize];
  char first_field[kSnapshotTextSize];
  char last_field[kSnapshotTextSize];
  int32_t error_code;             // ERRORCODE
  char error[kSnapshotTextSize];  // the first 59 characters of ERROR
};

// Fills the snapshot from the provider and the error state.
void TakeLibrarySnapshot();
// The snapshot the last TakeLibrarySnapshot filled.
const LibrarySnapshot& CurrentLibrarySnapshot();

// One number as the snapshot shows it, into out (kSnapshotTextSize bytes).
void FormatLibraryValue(const LibraryStateValue& value, char* out);

}  // namespace kor
