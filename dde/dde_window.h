// The conversation window: the hidden window of class "KorDDEWinClass" that
// sends and receives one conversation's messages, and its window procedure.
//
// The class is registered once per process on first use: this procedure,
// one pointer of window extra data (window long 0 holds the conversation),
// the program's instance. A window is created with no extended style, no
// title, position and size 0, no menu: a child (WS_CHILD) of its owner's
// window when there is one, else a pop-up (WS_POPUP) without parent.
//
// The procedure:
//   - messages outside WM_DDE_FIRST..WM_DDE_LAST go to DefWindowProcA;
//   - a DDE message another thread sends (InSendMessage), other than
//     WM_DDE_ACK and WM_DDE_INITIATE, is posted again to the window and
//     answered with 0, so that it is handled from the queue;
//   - WM_DDE_TERMINATE from the server: a WM_DDE_TERMINATE is posted back,
//     the server becomes 0 and EVENT:DDEclosed is queued for the owner;
//   - WM_DDE_DATA from the server: the block's CF_TEXT value (from byte 4,
//     up to its zero or the block's end) goes into the variable of every
//     link of the message's item; EVENT:DDEdata is queued when one of them
//     is a hot link. With fAckReq (bit 15 of the block's first word) a
//     positive WM_DDE_ACK carries the item atom back (deleted when that post
//     fails); without it the atom is deleted. The block is freed when
//     fRelease (bit 13) is set or the acknowledgement could not be posted;
//   - WM_DDE_ACK from another window: an answer to the initiate. While the
//     conversation is opening and has no server, the first one becomes the
//     server and its atoms are kept; every other has both atoms deleted and
//     is sent WM_DDE_TERMINATE;
//   - WM_DDE_ACK from the server outside a wait (an answer that came after
//     its wait gave up): its lParam is freed;
//   - anything else is ignored.
// When the window is destroyed other than by DDEclose (its owner window
// closed), the partner is sent WM_DDE_TERMINATE and the conversation ends:
// no server, no window, no owner.
#pragma once

#include <windows.h>

namespace kor {

struct Conversation;

inline constexpr char kDdeWindowClass[] = "KorDDEWinClass";

// Creates the conversation's window (registering the class first when
// needed) under `parent` (null: a pop-up). False when the platform refuses.
bool CreateConversationWindow(Conversation& conversation, HWND parent);

// Destroys the window of a conversation that DDEclose is freeing.
void DestroyConversationWindow(Conversation& conversation);

LRESULT CALLBACK DdeWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kor
