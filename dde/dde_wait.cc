// The acknowledgement wait: filtered looks at the queue, sleeping between
// them.
#include "dde/dde_wait.h"

#include <dde.h>

#include "dde/conversation.h"
#include "dde/dde.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace kor {

namespace {

// fAck: bit 15 of an acknowledgement's status word.
constexpr UINT_PTR kAckPositive = 0x8000;

// What a wait looks for besides acknowledgements (0: nothing).
UINT WatchedMessage(UINT sent) {
  if (sent == WM_DDE_REQUEST) return WM_DDE_DATA;
  if (sent == WM_DDE_TERMINATE) return WM_DDE_TERMINATE;
  return 0;
}

// Takes one acknowledgement for the window; false when none is queued.
bool TakeAck(HWND window, UINT sent, bool* positive) {
  MSG msg;
  if (!PeekMessageA(&msg, window, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) return false;
  UINT_PTR status = 0, second = 0;
  UnpackDDElParam(WM_DDE_ACK, msg.lParam, &status, &second);
  FreeDDElParam(WM_DDE_ACK, msg.lParam);
  if (sent != WM_DDE_EXECUTE && second != 0) GlobalDeleteAtom(static_cast<ATOM>(second));
  *positive = (status & kAckPositive) != 0;
  return true;
}

bool Queued(HWND window, UINT message) {
  MSG msg;
  return PeekMessageA(&msg, window, message, message, PM_NOREMOVE | PM_NOYIELD) != 0;
}

// Sleeps until a message is posted or sent to the thread after the last
// look, or `ms` pass. Posted messages already waiting do not wake it: the
// looks marked them as seen.
void SleepForMessages(DWORD ms) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_POSTMESSAGE | QS_SENDMESSAGE);
}

}  // namespace

DdeAnswer AwaitAnswer(Conversation& conversation, UINT sent) {
  if (sent == WM_DDE_ACK) return DdeAnswer::kPositive;
  const bool look_acks = sent != WM_DDE_TERMINATE;
  const UINT watched = WatchedMessage(sent);
  const DWORD timeout = DdeTimeoutMs();
  const DWORD start = GetTickCount();
  for (;;) {
    bool positive = false;
    if (conversation.window == nullptr) break;  // the window ended while we slept
    if (look_acks && TakeAck(conversation.window, sent, &positive))
      return positive ? DdeAnswer::kPositive : DdeAnswer::kNegative;
    if (watched != 0 && Queued(conversation.window, watched)) return DdeAnswer::kWatched;
    DWORD spent = GetTickCount() - start;
    if (spent >= timeout) break;
    SleepForMessages(timeout - spent);
  }
  PostError(kErrDdeTimeout);
  return DdeAnswer::kTimedOut;
}

void DiscardStaleAcks(Conversation& conversation) {
  MSG msg;
  while (conversation.window != nullptr &&
         PeekMessageA(&msg, conversation.window, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE))
    FreeDDElParam(WM_DDE_ACK, msg.lParam);
}

}  // namespace kor
