// The window's own pre-translation of a platform message, before it is
// translated and dispatched: alert keys, hot keys and Tab.
//
//   - A key-down or mouse-button message for the window or one of its
//     controls whose key code (key_codes.h) is an alert key of that control,
//     else of the window: EVENT:PreAlert is delivered at once, before the key
//     does anything. Unless the program cycles on it, the key is an alert
//     key: EVENT:AlertKey is queued (for the control, or for the window) and
//     the message goes no further. A cycle lets the key do what it
//     ordinarily does.
//   - A key-down that is a control's hot key: the control's HotKey (a button
//     is pressed) and nothing else.
//   - Tab and Shift+Tab move the focus to the next or previous control that
//     is a tab stop.
//   - Enter, Escape and Alt+mnemonic as dialog_keys.h says.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kor {

class Control;
class Window;

// true when the message was taken.
bool PreTranslate(Window* window, MSG* msg);
// The control whose child window is `hwnd` or holds it; null when none.
Control* ControlContaining(Window* window, HWND hwnd);

}  // namespace kor
