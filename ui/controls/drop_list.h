// The drop-down list (KorDrop): a list record with a drop count. It shows
// the selected row of its queue in a field with a drop button; dropped, a
// list of the same columns (list_view.h) shows up to the drop count rows
// under the field, with a scroll bar when the queue holds more. The dropped
// list is a child window of the control's window, on top of the controls,
// with the identifier kDropListId (a control the program refreshes while
// the list is dropped may paint over it until it repaints): it stays
// inside the window, above the field when there is more room there than
// below, with fewer rows when neither has room for them all.
//
// Dropping (a click on the field or its button, F4, Alt+Down or Alt+Up,
// CB_SHOWDROPDOWN 1) posts EVENT:DroppingDown before the list shows and
// EVENT:DroppedDown after; the same keys, Enter, Escape, a click on a row,
// another click on the field or the field losing the focus close it.
//
// Selection: Up, Down, Page Up, Page Down (the drop count), Home and End
// move the selection, dropped or not; the pointer over the dropped list
// lights a row and a click takes it; typing a character selects the next
// row whose first column starts with it (without regard to case). Every
// change posts EVENT:NewSelection for the drop-down list and stores the
// designated column's value in its bound variable. Refreshing selects the
// first row whose designated value equals the variable's (trailing blanks
// aside) and keeps the selection when none does; no event.
//
// Dialog code: arrows and characters (0x89), and all keys while dropped so
// that Enter and Escape close the list instead of pressing buttons.
//
// Choice and properties as a list box (list_box.h): 7C8Fh the selected row,
// 7C8Eh the drop count, the icon list and the column widths. For robots the
// field answers LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXT, CB_SHOWDROPDOWN and
// CB_GETDROPPEDSTATE, and its window text is the selected row (its cells
// without their blanks, joined by tabs).
#pragma once

#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

inline constexpr char kDropListClass[] = "KorDropList";  // the dropped part
inline constexpr int kDropListId = 0x3FFF;               // below the controls' identifiers

void* CreateDropList(const ControlCreation& creation);

}  // namespace kor
