// Conversation objects, their channel numbers and owner lists: the state the
// DDE client's operations (dde.h), its wait and its window procedure share.
//
// Life of a conversation:
//   created (window, no server) -> connected (server set) -> either freed by
//   DDEclose, or ended by the partner or by its owner window closing
//   (server 0; the object stays, every operation reports 602, until DDEclose).
//
// Atoms. The service and topic atoms are those of the partner's answer to
// the initiate, held until the conversation is freed. Each link holds a
// reference of its own to its item's atom (so the number stays the item's
// while the link lives); an atom that travels in a message is a separate
// reference that the protocol hands over: the client deletes it after its
// own failed post or when it takes the acknowledgement that carries it back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kor {

class ValueRef;
class Window;

// A hot link owns a clone of the program's reference (same variable), as
// it outlives the call; a one-shot link lives inside the call and uses the
// program's reference itself.
struct DdeLink {
  ATOM item = 0;               // the link's own atom reference
  ValueRef* target = nullptr;  // where the value goes (null: nowhere)
  bool hot = false;            // hot link (advise); else a pending one-shot
};

struct Conversation {
  int32_t channel = 0;
  HWND window = nullptr;  // the hidden "KorDDEWinClass" window; 0 once destroyed
  HWND server = nullptr;  // the partner's window; 0 before the answer and after the end
  ATOM service = 0;       // atoms of the partner's answer
  ATOM topic = 0;
  Window* owner = nullptr;  // the owner window; null = the program-wide list
  std::vector<DdeLink> links;
  bool opening = false;  // inside the initiate broadcast: answers are taken
  bool closing = false;  // inside DDEclose: the window's end is expected
};

// Makes a conversation owned by `owner` (null: the program-wide list) and
// gives it a fresh channel number.
Conversation* NewConversation(Window* owner);
// The open conversation of a channel; null for 0 and any other number.
Conversation* FindConversation(int32_t channel);
// Frees the object (its links' atoms and clones too) and its channel.
void FreeConversation(Conversation* conversation);
// Every open channel, oldest first.
std::vector<int32_t> AllChannels();

// The server window, treated as 0 (and cleared) when it no longer exists.
HWND LiveServer(Conversation& conversation);

// Frees a link's atom reference and, for a hot link, its clone.
void ReleaseLink(DdeLink& link);

}  // namespace kor
