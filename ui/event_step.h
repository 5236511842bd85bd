// Taking the next events of a window and delivering them to the program's
// loop body: the heart of ACCEPT.
//
// Only the thread's top window takes events. Each step, for that window:
//   1. When the focus moved to another thread since the last step, queue
//      EVENT:LoseFocus on the top window of the thread that lost it and
//      EVENT:GainFocus on the top window of the thread that gained it.
//   2. With an empty queue in completion mode: the next control in field
//      order (after those completion already visited) that still needs to
//      be accepted is accepted as if the user had (it posts EVENT:Accepted);
//      when none is left, completion mode ends with one EVENT:Completed.
//      Selecting a field (other than 0) while completion runs ends it.
//   3. Take the oldest event. EVENT:Selected for a control other than the
//      current one makes it current (FOCUS) and lets it react.
//   4. Deliver it: it becomes the current event and the innermost loop body
//      of the window runs. When the thread differs from the thread that ran
//      the last event, EVENT:Suspend goes to that thread's top window and
//      EVENT:Resume is delivered here first. After the body:
//        514 EVENT:CloseDown: a refusal (cycle) puts a waiting parent back to
//            open with a beep; otherwise the parent goes on closing and so
//            does this window;
//        513 EVENT:CloseWindow: unless refused, the close state becomes 2;
//        516 EVENT:OpenFailed: the loop ends;
//        527, 528 (DDE execute, poke): the DDE hook learns whether the
//            program handled it (it did unless it cycled).
//   5. Closing (state 2) with an empty queue: EVENT:CloseDown goes to the
//      first child window still open and not closing, and the state becomes
//      1 (waiting); with no child open the loop ends and the window closes
//      when its outermost ACCEPT returns.
#pragma once

#include "ui/event_queue.h"
#include "ui/window.h"

namespace kor {

enum class StepResult {
  kIdle,  // nothing (more) to deliver now: wait for platform messages
  kEnd,   // the loop of this window ends
};

// Delivers the window's pending events one after another, as above.
StepResult DeliverPendingEvents(Window* window);

// Delivers an event at once, from inside the window procedure (moves, sizes,
// EVENT:PreAlert): the innermost loop body runs with it as the current event,
// and the event the program was handling is current again afterwards. A
// window without a loop answers kContinue. kBreak ends the loop at its next
// step.
Pass DeliverNow(Window* window, const EventRecord& event);

// The window's wait timer (identifier 2) fired: stops it and calls its proc.
void FireWaitTimer(Window* window);

// Told whether the program handled a DDE execute or poke event.
using DdeAnswerHook = void (*)(Window* window, const EventRecord& event, bool handled);
void SetDdeAnswerHook(DdeAnswerHook hook);

}  // namespace kor
