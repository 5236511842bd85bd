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

// One number of the state and its name (null or empty: it has none).
struct LibraryStateValue {
  int32_t number;
  const char* name;
};

struct LibraryState {
  LibraryStateValue event;
  LibraryStateValue field;
  LibraryStateValue focus;
  LibraryStateValue accepted;
  LibraryStateValue first_field;
  LibraryStateValue last_field;
};

// Fills *state (all zero on entry). It runs inside the fault handler: it must
// not allocate, and the names must outlive the call.
using LibraryStateProvider = void (*)(LibraryState* state);
// Installs the provider; null removes it.
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
