// The standard actions of buttons (the record's action code), their enabling
// and what they do. A button with an action code performs it instead of
// posting an event (code 15, closing the window, is the window library's:
// window_proc.h); these are the others:
//
//   code  action                       enabled when
//   2     cascade the program's windows  the program has two or more
//   3     tile them side by side         windows open (all threads): the
//   4     arrange the minimised ones     one runtime-wide condition
//   17    tile them one above the other
//   18    tile them side by side
//   10    cut      the window's current control is an entry field or spin
//   11    copy     box (copy: also a read-only one); the action works on it
//   12    paste    with the platform's editing messages (WM_CUT ...), and
//   13    clear    its bound variable takes the text back when the field
//   14    undo     is left, as after typing
//
// Other codes stay enabled and do nothing. The enabling is worked out for a
// window whenever it becomes the active window and whenever its current
// control changes (window_proc.h); a button with an editing action never
// takes the focus from the field it edits.
#pragma once

#include <cstdint>

namespace kor {

class Control;
class Window;

inline constexpr int32_t kActionCascade = 2;
inline constexpr int32_t kActionTile = 3;
inline constexpr int32_t kActionArrangeIcons = 4;
inline constexpr int32_t kActionCut = 10;
inline constexpr int32_t kActionCopy = 11;
inline constexpr int32_t kActionPaste = 12;
inline constexpr int32_t kActionClear = 13;
inline constexpr int32_t kActionUndo = 14;
inline constexpr int32_t kActionTileHorizontal = 17;
inline constexpr int32_t kActionTileVertical = 18;

// Whether a button of `window` with action `code` is enabled now.
bool StandardActionEnabled(Window* window, int32_t code);
// Enables or disables the window's buttons with action codes.
void UpdateStandardActions(Window* window);
// Performs the action; false for a code without one here.
bool PerformAction(Window* window, Control* control, int32_t code);
// Whether the code edits the current control (10 to 14).
bool IsEditingAction(int32_t code);

}  // namespace kor
