// Buttons, check boxes and group boxes: platform buttons under the
// runtime's class names (KorButton, KorCheck, KorGroup).
//
// A button posts EVENT:Accepted when pressed, or performs its standard
// action instead (code 15: the window's close request, as its close box
// makes it, so the program may still refuse; the other codes and their
// enabling: standard_actions.h), with the mouse or its hot key alike. Option bit 0 makes it the
// window's default button: it carries the default style and a later default takes the mark from the
// earlier one. Enter presses the default button (see dialog_keys.h).
//
// Auto-repeat (attribute 0x800): pressing with the mouse posts
// EVENT:Accepted at once and starts a timer with the delay; each tick while
// the button is held (until the button is let go or loses the mouse capture
// or the focus, wherever the pointer is) posts EVENT:Accepted again, and the first tick
// re-arms the timer with the repeat interval when that differs. Releasing
// stops it; the release's own click posts nothing more. Delay and interval
// are the record's hundredths of a second as milliseconds (x 10); a 0 takes
// the other time, and both 0 give kDefaultRepeatDelayMs and
// kDefaultRepeatIntervalMs. A press from the keyboard posts once.
//
// A button with an icon name shows the image beside its text.
//
// A check box stores 1 (checked) or 0 in its variable when clicked, then
// posts EVENT:Accepted; Refresh shows the variable (nonzero = checked); its
// choice is 1 when checked.
//
// A check box with an icon name is a toggle button (pushed in when checked)
// that shows the icon of its state: the record's icon when unchecked, its
// second image name when checked (the first icon when there is none); the
// third image name is read but not shown.
#pragma once

#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

inline constexpr uint32_t kDefaultRepeatDelayMs = 500;
inline constexpr uint32_t kDefaultRepeatIntervalMs = 100;
inline constexpr int32_t kActionCloseWindow = 15;
inline constexpr uintptr_t kRepeatTimerId = 1;

void* CreateButton(const ControlCreation& creation);
void* CreateCheck(const ControlCreation& creation);
void* CreateGroupBox(const ControlCreation& creation);

}  // namespace kor
