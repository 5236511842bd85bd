// The hidden timer window: a pop-up of class "KorTimerWinClass" without a
// parent, never shown, that carries platform timers for runtime objects that
// need ticks outside any loop (animated images). It is not part of the event
// rules: its ticks call the objects' procedures directly. The class is
// registered once, at start-up; the window is made on the first timer.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kor {

inline constexpr const char kTimerWindowClass[] = "KorTimerWinClass";

using ObjectTimerProc = void (*)(void* object);

// Starts a timer of `ms` milliseconds that calls proc(object) on each tick;
// returns its identifier, 0 when the platform refused.
UINT_PTR StartObjectTimer(uint32_t ms, ObjectTimerProc proc, void* object);
void StopObjectTimer(UINT_PTR id);
// The hidden window (null before the first timer).
HWND TimerWindow();

// Start-up entry (priority 150): registers the class; close-down destroys the
// window and unregisters it.
void InitTimerWindow(int32_t arg);

}  // namespace kor
