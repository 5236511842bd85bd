// The window library's runtime-wide lock: one recursive critical section that
// serialises the state runtime threads share (window queues, the thread
// records and their window stacks, the child lists, the close states) and the
// writes to the runtime log.
//
// It is held only around changes of that state, never across a platform call
// that may send a message to another thread's window, nor across the
// program's loop body: a thread waiting for the lock cannot answer a message
// sent to it, so holding it there would deadlock two threads whose windows
// talk to each other (activation, destruction of owned windows).
#pragma once

#include <cstdint>

namespace kor {

// Set up at start-up (priority 255) and deleted at close-down; before that
// entering and leaving do nothing.
void InitRuntimeLock(int32_t arg);

void EnterRuntimeLock();
void LeaveRuntimeLock();

class RuntimeLockGuard {
 public:
  RuntimeLockGuard() { EnterRuntimeLock(); }
  ~RuntimeLockGuard() { LeaveRuntimeLock(); }
  RuntimeLockGuard(const RuntimeLockGuard&) = delete;
  RuntimeLockGuard& operator=(const RuntimeLockGuard&) = delete;
};

}  // namespace kor
