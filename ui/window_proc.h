// The one window procedure every runtime window shares, and the handlers that
// turn platform messages into events.
//
// The procedure is a thunk from handle to object: at the platform's first
// creation message (WM_NCCREATE) the window object's address, handed over as
// the creation parameter, is stored in the window's first extra word, the
// handle is recorded and EVENT:OpenWindow is queued as the window's first
// event; every later message goes to the object's handlers; the word is
// cleared at WM_NCDESTROY. A message for a window without an object goes to
// the platform's default procedure.
//
//   PLATFORM MESSAGE                          EVENT OR EFFECT
//   close request                             513 EVENT:CloseWindow queued
//   system command move, size, restore,       544..548 delivered at once, before
//     maximise, minimise (attribute 0x800)      the action; cycling cancels it
//   moved (0x800, not minimised)              560 EVENT:Moved queued
//   resized while normal (0x800)              561 EVENT:Sized queued
//   now maximised / minimised / normal again  563 / 564 / 562 queued
//   timer 1                                   523 EVENT:Timer queued
//   files dropped                             19 EVENT:Drop queued (for the
//                                               control under the drop point)
//   QUERY_SELECTED (wParam = field)           257 EVENT:Selected for the field
//   command from a child (id field + 16384)   its standard action, else the
//                                               control's own Command
//   command from a menu item                  EVENT:Accepted for the item
//   command with identifier 0 (alert key)     15 EVENT:AlertKey queued
//   notification from a child                 the control's Notify (QUERY_NOTIFY)
//   QUERY_CONTINUETHREAD                      a window marked for closing closes
//   log-off or shut-down query                the window comes to the top, the
//                                               system-modal box "Application
//                                               still active..." and a refusal
#pragma once

#include <windows.h>

#include <cstdint>

namespace kor {

class Control;
class Window;

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The message code of a runtime query (kEventBase + the query number).
UINT QueryMessage(int32_t query);

// A button's standard action. Code 15 closes the window the way its close
// box does (EVENT:CloseWindow); the other codes go to the handler installed
// here, which returns false for a code it does not know (the press is then
// ignored).
using StandardActionHandler = bool (*)(Window* window, Control* control, int32_t code);
void SetStandardActionHandler(StandardActionHandler handler);
void PerformStandardAction(Window* window, Control* control, int32_t code);

// Called with the window whenever it becomes the active window and whenever
// its current control changes (EVENT:Selected taken), so that the buttons
// with standard actions can be enabled for it; installed by the control
// library.
using ActionStateHandler = void (*)(Window* window);
void SetActionStateHandler(ActionStateHandler handler);
void UpdateActionStates(Window* window);

// The text of the box that refuses a log-off while the program runs.
inline constexpr const char kStillActiveText[] =
    "Application still active.\n\nQuit the application before quitting Windows.";

}  // namespace kor
