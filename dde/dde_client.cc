// DDEopen, DDEexecute, DDErequest and DDEclose: the client's operations on
// the conversation objects, their windows and the acknowledgement wait.
#include <dde.h>
#include <string.h>

#include <string>

#include "dde/conversation.h"
#include "dde/dde.h"
#include "dde/dde_wait.h"
#include "dde/dde_window.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/value_ref.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

namespace {

// The options block of WM_DDE_ADVISE (fDeferUpd 0, fAckReq 0, CF_TEXT):
//   OFFSET SIZE  CONTENTS
//   0      2     flags: bit 15 fAckReq, bit 14 fDeferUpd
//   2      2     clipboard format
constexpr size_t kAdviseSize = 4;
constexpr size_t kAdviseFormatOffset = 2;

// A name as an atom; an empty name is atom 0, never an atom of its own.
ATOM MakeAtom(std::string_view name) {
  if (name.empty()) return 0;
  std::string text(name.substr(0, 255));
  return GlobalAddAtomA(text.c_str());
}

void DeleteAtom(ATOM atom) {
  if (atom != 0) GlobalDeleteAtom(atom);
}

// The conversation of a channel after clearing the error state; posts 601
// for a channel that is no open conversation.
Conversation* Channel(int32_t channel) {
  ClearError();
  Conversation* c = FindConversation(channel);
  if (c == nullptr) PostError(kErrInvalidDdeChannel);
  return c;
}

// The conversation of a channel whose partner is still there; posts 601 or
// 602 otherwise.
Conversation* Connected(int32_t channel) {
  Conversation* c = Channel(channel);
  if (c == nullptr) return nullptr;
  if (LiveServer(*c) == nullptr || c->window == nullptr) {
    PostError(kErrDdeChannelNotOpen);
    return nullptr;
  }
  return c;
}

WPARAM From(const Conversation& c) { return reinterpret_cast<WPARAM>(c.window); }

// Posts a packed DDE message to the partner and waits for its answer. On
// failure the item atom is deleted (unless the partner's acknowledgement
// already carried it back and the wait deleted it) and an advise's options
// block is freed.
bool PostPacked(Conversation& c, UINT message, UINT_PTR low, UINT_PTR high, ATOM item) {
  DiscardStaleAcks(c);
  LPARAM lparam = PackDDElParam(message, low, high);
  DdeAnswer answer = DdeAnswer::kTimedOut;
  bool posted = PostMessageA(c.server, message, From(c), lparam) != 0;
  if (posted) {
    answer = AwaitAnswer(c, message);
  } else {
    FreeDDElParam(message, lparam);
  }
  if (Succeeded(answer)) return true;
  if (answer != DdeAnswer::kNegative) DeleteAtom(item);
  if (message == WM_DDE_ADVISE) GlobalFree(reinterpret_cast<HGLOBAL>(low));
  return false;
}

// Takes the WM_DDE_DATA the wait saw queued and lets the window procedure
// store it through the conversation's links.
void DeliverQueuedData(Conversation& c) {
  MSG msg;
  if (PeekMessageA(&msg, c.window, WM_DDE_DATA, WM_DDE_DATA, PM_REMOVE)) DispatchMessageA(&msg);
}

DdeLink MakeLink(std::string_view item, ValueRef* target, bool hot) {
  if (hot && target != nullptr) target = target->Clone();
  return DdeLink{MakeAtom(item), target, hot};
}

void RequestOnce(Conversation& c, std::string_view item, ValueRef* target) {
  ATOM atom = MakeAtom(item);
  if (!PostPacked(c, WM_DDE_REQUEST, CF_TEXT, atom, atom)) return;
  c.links.push_back(MakeLink(item, target, false));
  DeliverQueuedData(c);
  // The window procedure may have ended the conversation meanwhile; the
  // object itself stays until DDEclose, and with it the link just added.
  for (size_t i = c.links.size(); i-- > 0;) {
    if (!c.links[i].hot) {
      ReleaseLink(c.links[i]);
      c.links.erase(c.links.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
}

HGLOBAL MakeAdviseOptions() {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, kAdviseSize);
  auto* bytes = block != nullptr ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (bytes == nullptr) {
    if (block != nullptr) GlobalFree(block);
    return nullptr;
  }
  const WORD format = CF_TEXT;
  memcpy(bytes + kAdviseFormatOffset, &format, sizeof format);
  GlobalUnlock(block);
  return block;
}

void StartHotLink(Conversation& c, std::string_view item, ValueRef* target) {
  HGLOBAL options = MakeAdviseOptions();
  if (options == nullptr) return;
  ATOM atom = MakeAtom(item);
  if (!PostPacked(c, WM_DDE_ADVISE, reinterpret_cast<UINT_PTR>(options), atom, atom)) return;
  c.links.push_back(MakeLink(item, target, true));
}

bool SameVariable(const DdeLink& link, const ValueRef* target) {
  if (link.target == nullptr || target == nullptr) return link.target == target;
  return link.target->Address() == target->Address() &&
         link.target->TypeCode() == target->TypeCode();
}

void EndHotLinks(Conversation& c, std::string_view item, ValueRef* target) {
  std::string name(item.substr(0, 255));
  ATOM wanted = GlobalFindAtomA(name.c_str());
  if (wanted == 0) return;  // no link can hold an atom that does not exist
  for (size_t i = c.links.size(); i-- > 0;) {
    if (i >= c.links.size()) continue;  // an answer may have ended the conversation
    DdeLink& link = c.links[i];
    if (!link.hot || link.item != wanted || !SameVariable(link, target)) continue;
    if (LiveServer(c) != nullptr) {
      ATOM atom = MakeAtom(item);
      PostPacked(c, WM_DDE_UNADVISE, 0, atom, atom);
    }
    ReleaseLink(c.links[i]);
    c.links.erase(c.links.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

// Removes the terminates still queued for the window (the partner's answer
// to ours) so that no handler acts on them after the object is gone.
void DropQueuedTerminates(Conversation& c) {
  MSG msg;
  while (c.window != nullptr &&
         PeekMessageA(&msg, c.window, WM_DDE_TERMINATE, WM_DDE_TERMINATE, PM_REMOVE)) {
  }
}

}  // namespace

int32_t DDEopen(std::string_view service, std::string_view topic) {
  Window* owner = TopWindow();
  if (owner != nullptr && !owner->is_open()) owner = nullptr;
  Conversation* c = NewConversation(owner);
  if (!CreateConversationWindow(*c, owner != nullptr ? owner->handle() : nullptr)) {
    FreeConversation(c);
    return 0;
  }
  ATOM s = MakeAtom(service.substr(0, kDdeNameMax));
  ATOM t = MakeAtom(topic.substr(0, kDdeNameMax));
  c->opening = true;
  SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, From(*c), MAKELPARAM(s, t));
  c->opening = false;
  DeleteAtom(s);
  DeleteAtom(t);
  if (c->server != nullptr) return c->channel;
  DestroyConversationWindow(*c);
  FreeConversation(c);
  return 0;
}

void DDEexecute(int32_t channel, std::string_view command) {
  Conversation* c = Connected(channel);
  if (c == nullptr) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
  char* bytes = block != nullptr ? static_cast<char*>(GlobalLock(block)) : nullptr;
  bool accepted = false;
  if (bytes != nullptr) {
    memcpy(bytes, command.data(), command.size());
    bytes[command.size()] = 0;
    GlobalUnlock(block);
    DiscardStaleAcks(*c);
    if (PostMessageA(c->server, WM_DDE_EXECUTE, From(*c), reinterpret_cast<LPARAM>(block)))
      accepted = AwaitAnswer(*c, WM_DDE_EXECUTE) == DdeAnswer::kPositive;
  }
  if (!accepted && ERRORCODE() == 0) PostError(kErrDdeExecuteRefused);
  if (block != nullptr) GlobalFree(block);
}

void DDErequest(int32_t channel, int32_t mode, std::string_view item, ValueRef* target) {
  Conversation* c = Connected(channel);
  if (c == nullptr || item.empty()) return;
  switch (mode) {
    case kDdeOneShot: RequestOnce(*c, item, target); break;
    case kDdeHotLink: StartHotLink(*c, item, target); break;
    case kDdeEndLink: EndHotLinks(*c, item, target); break;
    default: break;
  }
}

void DDEclose(int32_t channel) {
  Conversation* c = Channel(channel);
  if (c == nullptr) return;
  c->owner = nullptr;  // off its owner's list
  c->closing = true;
  if (LiveServer(*c) != nullptr && c->window != nullptr) {
    DiscardStaleAcks(*c);
    if (PostMessageA(c->server, WM_DDE_TERMINATE, From(*c), 0)) AwaitAnswer(*c, WM_DDE_TERMINATE);
    c->server = nullptr;
  }
  DeleteAtom(c->service);
  DeleteAtom(c->topic);
  c->service = c->topic = 0;
  DropQueuedTerminates(*c);
  DestroyConversationWindow(*c);
  FreeConversation(c);
}

}  // namespace kor
