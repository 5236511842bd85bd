// The keys Windows users expect in a window of controls, taken before
// dispatch after the alert and hot keys and Tab (pretranslate.h):
//
//   - Enter (no Ctrl or Alt): with the focus on a push button, presses that
//     button; else, unless the focus is on a list box (which takes Enter
//     itself), presses the window's default button when it is enabled and
//     visible. Nothing is taken when neither applies.
//   - Escape: presses the window's Cancel button, the first enabled push
//     button whose text is "Cancel" without regard to case and "&".
//   - Neither Enter nor Escape is taken while the focused control asks for
//     all keys (WM_GETDLGCODE with DLGC_WANTALLKEYS: a dropped drop-down
//     list, which closes on them).
//   - Alt+letter or Alt+digit: the first enabled, visible control whose text
//     marks that character with "&" ("&&" is a plain "&"): a button or check
//     box is pressed, a prompt or group moves the focus to the next tab stop
//     after it, anything else takes the focus. Without a match the key goes
//     on (to the menu bar).
// A press is the platform's click (BM_CLICK): the focus moves to the button
// first, so an edited entry field is accepted before the button's event.
#pragma once

#include <windows.h>

#include <string_view>

namespace kor {

class Window;

// true when the key-down message was taken.
bool TakeDialogKey(Window* window, const MSG& msg);
// The character a text marks with "&" (upper-cased), 0 when none.
char MnemonicOf(std::string_view text);

}  // namespace kor
