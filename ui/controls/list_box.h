// The list box (KorList): the records of the program's queue as rows, the
// queue's fields as the columns of the list's format string
// (ui/resource/column_format.h).
//
// Drawing, icons and tree lines: list_view.h.
//
// Selection: a click selects a row; a double click or Enter posts
// EVENT:Accepted. Every change of the selected row posts EVENT:NewSelection
// and stores the designated column's value in the bound variable (an empty
// value when no row is selected).
//
// Columns with "M": dragging a column's right edge (in the header when the
// list has one, else on any row) resizes it and posts 30 EVENT:ColumnResize
// when the button is let go on a new width.
//
// Tree columns: a click on a row's expand box, or "+" / "-" on the numeric
// pad, asks the program to change the queue: a contracted row posts 22
// EVENT:Expanding then 24 EVENT:Expanded, an expanded one 23
// EVENT:Contracting then 25 EVENT:Contracted; a row without children, or
// one already that way, posts nothing. The click selects the row first.
//
// Keys: in a list that scrolls itself, Up, Down, Page Up, Page Down, Home and
// End move the selection (End selects the last row) and scroll to keep it
// shown; Left and Right scroll horizontally. In a program-scrolled list
// (attribute 0x800) they become events and nothing else happens: Up 3
// EVENT:ScrollUp, Down 4 EVENT:ScrollDown, Page Up 5 EVENT:PageUp (Ctrl: 7
// EVENT:ScrollTop), Page Down 6 EVENT:PageDown (Ctrl: 8 EVENT:ScrollBottom),
// Home 7, End 8; the scroll bar's arrows and pages post the same events and
// its thumb posts 20 EVENT:ScrollDrag on release and 29 EVENT:ScrollTrack
// while it moves; typing a character posts 9 EVENT:Locate (the program
// searches) and the mouse wheel scrolls up or down one row. The list asks for
// arrows and characters (dialog code 0x89).
//
// Properties: 7C8Eh the number of whole rows the list shows (from its last
// layout); 7C8Fh the selected row, 1-based (setting it moves the highlight,
// 0 clears it). Choice: the selected row, 0 when none.
//   kPropListIcon (7C90h), index n >= 1: icon n of the list's icon list, an
//     image name (ui/images.h); "~c:\images\check.ico" is the program's
//     icon resource "c:\images\check_ico". Setting "" removes it; a name
//     that cannot be loaded leaves no icon n (no error). Reading gives the
//     name set, "" for none. Columns with "I"/"J" show these by number.
//   kPropListColumnWidth (7C91h), index = column (1-based): the column's
//     width in pixels; setting resizes it as the mouse would (posting
//     nothing). Reading a column that is not there gives "".
//   kPropListThumb (7C92h): the scroll thumb of a program-scrolled list, 0
//     (top) to 100 (bottom): the program sets it to show where its page
//     lies, and a thumb drag leaves there the place it was released at
//     before posting EVENT:ScrollDrag.
//
// A right-button press on a row selects it and posts EVENT:NewSelection even
// when the row was selected already, with the event's key code 2 (the
// right button), so that the program can show its pop-up menu.
//
// A list record with a drop count is created as a drop-down list
// (drop_list.h).
//
// For robots and screen readers the list answers LB_GETCOUNT, LB_GETCURSEL,
// LB_GETITEMRECT (a shown row's place) and LB_GETTEXT/LB_GETTEXTLEN (a
// row's columns joined by tabs), and its
// window text (WM_GETTEXT) is the selected row's text, which crosses process
// boundaries where LB_GETTEXT on an own-drawn class does not.
#pragma once

#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

inline constexpr uint32_t kPropListRows = 0x7C8E;
inline constexpr uint32_t kPropListSelected = 0x7C8F;
inline constexpr uint32_t kPropListIcon = 0x7C90;
inline constexpr uint32_t kPropListColumnWidth = 0x7C91;
inline constexpr uint32_t kPropListThumb = 0x7C92;
inline constexpr int32_t kListThumbMax = 100;
inline constexpr int32_t kListDialogCode = 0x89;

void* CreateList(const ControlCreation& creation);

}  // namespace kor
