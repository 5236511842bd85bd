// The list box (KorList): the records of the program's queue as rows, the
// queue's fields as the columns of the list's format string
// (ui/resource/column_format.h).
//
// Drawing: an optional header row (when any column has a header; as tall as
// its most lines), then rows one font line plus 2 pixels high. Each column
// shows its value field through its picture ("@S30" without one), aligned
// and indented as the format says, clipped to the column; fixed colours
// ("E") or colour fields ("*") give, in order, the text colour, the
// background, the selected text colour and the selected background (-1 or
// a missing position: the system's colour); "|" and "_" draw the borders.
// The selected row is highlighted and carries the focus rectangle while the
// list has the focus.
//
// Selection: a click selects a row; a double click or Enter posts
// EVENT:Accepted. Every change of the selected row posts EVENT:NewSelection
// and stores the designated column's value in the bound variable (an empty
// value when no row is selected).
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
// 0 clears it); 7C90h the scroll thumb of a program-scrolled list, 0 (top)
// to 100 (bottom): the program sets it to show where its page lies, and a
// thumb drag leaves there the place it was released at before posting
// EVENT:ScrollDrag; 7C91h with index n the list's icon n (an image name, a
// leading "~" marking one of the program's own images), which an icon
// column ("I", "J") draws left of its text when the row's icon field holds
// n (0 or an unknown number: none). Choice: the selected row, 0 when none.
//
// A right-button press on a row selects it and posts EVENT:NewSelection even
// when the row was selected already, with the event's key code 2 (the
// right button), so that the program can show its pop-up menu.
//
// For robots and screen readers the list answers LB_GETCOUNT, LB_GETCURSEL
// and LB_GETTEXT/LB_GETTEXTLEN (a row's columns joined by tabs), and its
// window text (WM_GETTEXT) is the selected row's text, which crosses process
// boundaries where LB_GETTEXT on an own-drawn class does not.
#pragma once

#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

inline constexpr uint32_t kPropListRows = 0x7C8E;
inline constexpr uint32_t kPropListSelected = 0x7C8F;
inline constexpr uint32_t kPropListThumb = 0x7C90;
inline constexpr int32_t kListThumbMax = 100;
inline constexpr uint32_t kPropListIcon = 0x7C91;
inline constexpr int32_t kListIconMax = 255;
inline constexpr int32_t kListDialogCode = 0x89;

void* CreateList(const ControlCreation& creation);

}  // namespace kor
