// Closing windows: the close operation over a thread's window stack, the
// destruction of one window, and the shutdown step that closes every window
// still open.
#pragma once

namespace kor {

class Window;

// The close operation (Window::Close): from the top of the window's thread
// down to the window, each window either closes now or, when it is inside a
// loop of its own or belongs to another thread, is marked to close when its
// loop ends (the other thread is sent QUERY_CONTINUETHREAD).
void CloseWindowStack(Window* window);
// A window marked for closing that is on the calling thread closes now unless
// a loop of its own still runs (that loop ends at its next step).
void ContinueClosing(Window* window);
// Destroys an open window at once: hides it, removes its menu, activates the
// window below, destroys the platform window and the controls, unregisters
// its class, takes it off its thread's stack and its parent's child list,
// and dispatches the paint messages pending.
void DestroyWindowNow(Window* window);
// Takes the window off its thread's stack and its parent's child list (also
// for an opening that failed); wakes a parent on another thread.
void UnlinkWindow(Window* window);
// The kCloseWindows step of the shutdown: every window still open, newest
// first, on every thread.
void CloseAllWindows();

}  // namespace kor
