// The creation table: one slot per control type code that the runtime knows.
// Every slot starts empty (create nothing); each control kind a program uses
// fills its slot at start-up, so a record whose kind is not part of the
// program is skipped, silently, when a window is built.
//
//   SLOT CODES (26): 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 21 32 33 34
//                    35 37 38 39
//
// Codes outside these have no slot: such a record is skipped too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/window_records.h"

namespace kor {

inline constexpr int kControlSlotCount = 26;

// What a creation procedure is given: the resource it reads, the decoded
// record, the window being built and the control the new one sits in (a
// group, or null at the window's level). Window and parent are the window
// library's objects; they are opaque here.
struct ControlCreation {
  const ResourceBuffer* buffer = nullptr;
  const ControlRecord* record = nullptr;
  void* window = nullptr;
  void* parent = nullptr;
};
// Creates the control and returns it (null: nothing was created).
using ControlCreateFn = void* (*)(const ControlCreation& creation);

struct ControlKind {
  const char* name;  // the kind's window class name, for reports
  ControlCreateFn create;
};

// The slot index of a type code; -1 when the code has no slot.
int ControlSlotOf(uint8_t type);
// Fills the slot of `type` (null empties it). false when the code has no slot.
bool RegisterControlKind(uint8_t type, const ControlKind* kind);
// The kind in the slot of `type`; null when the slot is empty or there is none.
const ControlKind* ControlKindOf(uint8_t type);
// Empties every slot (the state at start-up).
void ClearControlKinds();

// A kind that is registered but creates nothing: it holds the slot under its
// class name until the control classes of the window library are linked in.
const ControlKind* PlaceholderControlKind(uint8_t type);

// Fills the slot of each listed kind that is still empty with its placeholder.
// Returns the number of slots filled.
int RegisterPlaceholderKinds(const uint8_t* types, size_t count);

// Creates the controls of a chain, in chain order, each group's children
// right after the group with the group's object as their parent. A record
// whose slot is empty is skipped with its children. Returns the number of
// records handed to a creation procedure.
int CreateControls(const ResourceBuffer& buffer, const std::vector<ControlRecord>& records,
                   void* window, void* parent);

}  // namespace kor
