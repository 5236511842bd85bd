// Messages a lower layer posts to the program's current window and gets
// back from the event loop: a layer that may not include the window library
// (a file driver deferring a build) is handed a poster at start-up; the
// window procedure gives each such message to the handler registered for
// it, with the posted parameter, when the loop dispatches it.
//
// Program messages lie above the window library's own event messages
// (kEventBase + 4096 .. kEventBase + kQueryEditDone) and below 0x8000.
#pragma once

#include <cstdint>

namespace kor {

inline constexpr uint32_t kFirstProgramMessage = 0x2420;
inline constexpr uint32_t kLastProgramMessage = 0x7FFF;

using ProgramMessageHandler = void (*)(uintptr_t param);

// Registers (or with null removes) the handler of `message`; false when the
// message lies outside the program range or the table (8 messages) is full.
bool SetProgramMessageHandler(uint32_t message, ProgramMessageHandler handler);
// Posts `message` with `param` to the calling thread's top window; false
// when the thread has no window open or the platform refused (the caller
// then does the work itself: nothing would ever hand the message back).
bool PostToCurrentWindow(uint32_t message, uintptr_t param);
// The window procedure's step: runs the handler of `message` when there is
// one and says whether it did.
bool RunProgramMessage(uint32_t message, uintptr_t param);

}  // namespace kor
