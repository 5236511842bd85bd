// Entry fields and spin boxes (KorEdit).
//
// An entry field shows its bound variable formatted with its picture and
// edits that text. Leaving a field whose text was changed reads the text
// back with DEFORMAT: when the picture reads it, the variable takes the
// value, the field shows it formatted again and EVENT:Accepted is posted;
// when it does not, the variable keeps its value, the text stays for the
// user to correct and EVENT:Rejected is posted. Attributes: read-only 0x100,
// upper case 0x400, password 0x1000, right-aligned 0x08. Completion mode accepts an edited
// field as leaving it would (a rejected text ends completion). Taking the focus posts
// EVENT:Selected and selects the whole text.
//
// A spin box is an entry field with an arrow pair at its right edge (the
// platform's up-down control, a child of the field). An arrow, Up or Down
// steps the value by the record's step (1 when 0) within low..high (no
// bound when both are 0), stores it, shows it and posts EVENT:NewSelection.
//
// Departure from an own-drawn class: KorEdit is registered on the platform's
// "Edit" class (copied, as the platform-based kinds are), so caret, selection,
// clipboard and input methods behave exactly as in every other program.
#pragma once

#include "ui/resource/control_kinds.h"

namespace kor {

void* CreateEntry(const ControlCreation& creation);

}  // namespace kor
