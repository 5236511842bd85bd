// ACCEPT: the event loop of the thread's top window. The procedure that owns
// the window passes its loop body; the runtime calls it once per event, with
// that event current (EVENT(), FIELD() ... in state_functions.h), until the
// loop ends:
//
//   Window window;
//   window.Declare("mxb$MXB001", "P1$WINDOW", addresses);
//   window.Open();
//   ACCEPT([&] {
//     if (EVENT() == kEventAccepted && FIELD() == 12) Connect();
//     return Pass::kContinue;       // kCycle refuses the event, kBreak ends
//   });
//   window.Close();
//
// A body that returns nothing continues. The loop ends when the window has
// closed (a close request the program did not refuse, a close from the
// program), on EVENT:OpenFailed, or when the body breaks. Without an open
// window on the thread ACCEPT posts 537 ("ACCEPT loop requires a window") and
// returns at once.
//
// The pump, per turn:
//   1. take and deliver the pending events (event_step.h); stop when the
//      loop ends;
//   2. with no platform message waiting, the idle step: feed one PRESSed
//      keystroke to the focused control, then the idle hook;
//   3. get the next platform message (the one waiting, else blocking). A thread message asking to
//      bring the thread to the front raises its top window; timer 2 of the
//      window is the runtime's timed wait, handled here; a timer message
//      without a window goes to the thread's timer proc;
//   4. the keystroke logic notes the key code and character of key messages;
//      the window's pre-translation takes alert keys (EVENT:PreAlert at once,
//      then EVENT:AlertKey unless the program cycled), hot keys and Tab; then
//      the modeless dialog, then the message hook; what none takes is
//      translated and dispatched.
// When the window's outermost loop ends and the window is marked for closing
// (its close was accepted, or the program closed it from inside the loop),
// ACCEPT closes it.
#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

#include "ui/window.h"

namespace kor {

void ACCEPT(const LoopBody& body);

// A body that returns nothing: every pass continues.
template <typename F>
requires std::is_void_v<std::invoke_result_t<F&>>
void ACCEPT(F&& body) {
  ACCEPT(LoopBody([&body] {
    body();
    return Pass::kContinue;
  }));
}

// Asks thread `number` (0 = the calling thread) to bring its top window to
// the front at its next pump turn.
void BringThreadToFront(int32_t number);

// Called by every idle step with the pump's window.
using IdleHook = void (*)(Window* window);
void SetIdleHook(IdleHook hook);

// A keystroke fed from the PRESS buffer is marked in the key message's
// reserved lParam bits; its modifiers travel with it.
bool IsPressedKey(const MSG& msg);
// The key code of a key-down or mouse-button message (PRESSed or real); 0
// for other messages.
uint16_t KeyCodeOf(const MSG& msg);

}  // namespace kor
