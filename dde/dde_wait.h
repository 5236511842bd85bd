// The acknowledgement wait: after the client posted a DDE message, wait for
// the partner's answer under the program-wide time-out.
//
//   SENT MESSAGE        ENDS THE WAIT
//   WM_DDE_ACK          at once (nothing to wait for)
//   WM_DDE_TERMINATE    a WM_DDE_TERMINATE queued for the conversation window
//                       (looked at, left in the queue); acknowledgements are
//                       not looked for
//   WM_DDE_REQUEST      a WM_DDE_ACK (taken), or a WM_DDE_DATA queued (left)
//   any other           a WM_DDE_ACK for the conversation window (taken)
//
// A taken acknowledgement has its lParam unpacked and freed; the atom in its
// second word is deleted unless the sent message was WM_DDE_EXECUTE (whose
// acknowledgement carries the command's memory handle instead). Its status
// bit 15 (fAck) is the answer.
//
// Between looks the wait sleeps until a message is posted or sent to the
// thread, or the time is up; it takes nothing else from the queue and
// dispatches nothing but the messages other threads send (which the
// platform delivers during any look; the conversation window posts the DDE
// ones again, to be handled after the wait). It always looks at least once,
// so an answer already queued is taken even with a time-out of 0. Error 605
// "DDE transaction timed out" is posted only when the time ran out with no
// answer taken.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kor {

struct Conversation;

enum class DdeAnswer {
  kPositive,  // a positive acknowledgement
  kNegative,  // a negative acknowledgement (taken: its atom is handled)
  kWatched,   // the watched DATA or TERMINATE is queued
  kTimedOut,  // nothing in time; 605 posted
};

DdeAnswer AwaitAnswer(Conversation& conversation, UINT sent);

// Whether an answer means the message succeeded.
inline bool Succeeded(DdeAnswer answer) {
  return answer == DdeAnswer::kPositive || answer == DdeAnswer::kWatched;
}

// Takes the acknowledgements still queued for the conversation window from
// earlier messages (answers that came after their wait gave up), so that a
// new wait cannot mistake one of them for its own answer.
void DiscardStaleAcks(Conversation& conversation);

}  // namespace kor
