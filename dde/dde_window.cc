// The conversation window's class, creation and window procedure.
#include "dde/dde_window.h"

#include <dde.h>
#include <string.h>

#include <string>

#include "dde/conversation.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"
#include "ui/event_queue.h"
#include "ui/events.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

namespace {

// A WM_DDE_DATA block: the flags word, the clipboard format, the value.
//   OFFSET SIZE  CONTENTS
//   0      2     flags: bit 15 fAckReq, bit 13 fRelease, bit 12 fResponse
//   2      2     clipboard format (CF_TEXT = 1)
//   4      n     the value; for CF_TEXT a zero-ended text
constexpr size_t kDataFlagsOffset = 0;
constexpr size_t kDataFormatOffset = 2;
constexpr size_t kDataValueOffset = 4;
static_assert(kDataValueOffset == kDataFormatOffset + sizeof(WORD));
constexpr WORD kDataAckReq = 0x8000;
constexpr WORD kDataRelease = 0x2000;
constexpr UINT_PTR kAckPositive = 0x8000;

bool g_class_registered = false;

bool RegisterDdeClass() {
  if (g_class_registered) return true;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DdeWindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kDdeWindowClass;
  g_class_registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return g_class_registered;
}

Conversation* ConversationOf(HWND hwnd) {
  return reinterpret_cast<Conversation*>(GetWindowLongPtrA(hwnd, 0));
}

// Queues a DDE event on the owner window with the conversation's channel and
// atoms as its payload. No owner, or one that is not open: nothing.
void QueueOwnerEvent(const Conversation& c, int32_t number) {
  if (c.owner == nullptr || !c.owner->is_open()) return;
  EventRecord event = MakeEvent(number, 0, nullptr, CurrentThread()->key_code);
  event.data[0] = c.channel;
  event.data[1] = c.service;
  event.data[2] = c.topic;
  c.owner->PostRecord(event);
}

// An answer to the initiate broadcast: the first one of an opening
// conversation is its partner; every other is ended.
void OnInitiateAnswer(Conversation& c, HWND from, LPARAM lparam) {
  ATOM service = LOWORD(lparam), topic = HIWORD(lparam);
  if (c.opening && c.server == nullptr) {
    c.server = from;
    c.service = service;
    c.topic = topic;
    return;
  }
  if (service != 0) GlobalDeleteAtom(service);
  if (topic != 0) GlobalDeleteAtom(topic);
  PostMessageA(from, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(c.window), 0);
}

void OnTerminate(Conversation& c) {
  PostMessageA(c.server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(c.window), 0);
  c.server = nullptr;
  QueueOwnerEvent(c, kEventDdeClosed);
}

// The CF_TEXT value of a locked block of `size` bytes: up to its zero, never
// past the block's end.
std::string TextOf(const char* bytes, size_t size) {
  if (size <= kDataValueOffset) return std::string();
  const char* text = bytes + kDataValueOffset;
  size_t room = size - kDataValueOffset;
  const void* zero = memchr(text, 0, room);
  return std::string(text, zero ? static_cast<const char*>(zero) - text : room);
}

// Stores the value in every link of the item; true when one is a hot link.
bool StoreInLinks(Conversation& c, ATOM item, const std::string& text) {
  bool hot = false;
  for (DdeLink& link : c.links) {
    if (link.item != item || link.target == nullptr) continue;
    PushCopy(text);
    link.target->AssignString();
    hot = hot || link.hot;
  }
  return hot;
}

// Acknowledges a data message positively, handing the item atom back;
// false when the post failed (the atom is then deleted here).
bool AckData(const Conversation& c, ATOM item) {
  LPARAM ack = PackDDElParam(WM_DDE_ACK, kAckPositive, item);
  if (PostMessageA(c.server, WM_DDE_ACK, reinterpret_cast<WPARAM>(c.window), ack)) return true;
  FreeDDElParam(WM_DDE_ACK, ack);
  GlobalDeleteAtom(item);
  return false;
}

void OnData(Conversation& c, LPARAM lparam) {
  UINT_PTR data = 0, item_word = 0;
  UnpackDDElParam(WM_DDE_DATA, lparam, &data, &item_word);
  FreeDDElParam(WM_DDE_DATA, lparam);
  auto block = reinterpret_cast<HGLOBAL>(data);
  const ATOM item = static_cast<ATOM>(item_word);
  const auto* bytes = block != nullptr ? static_cast<const char*>(GlobalLock(block)) : nullptr;
  const size_t size = bytes != nullptr ? GlobalSize(block) : 0;
  WORD flags = 0, format = 0;
  if (size >= kDataValueOffset) {
    memcpy(&flags, bytes + kDataFlagsOffset, sizeof flags);
    memcpy(&format, bytes + kDataFormatOffset, sizeof format);
  }
  if (format == CF_TEXT && StoreInLinks(c, item, TextOf(bytes, size)))
    QueueOwnerEvent(c, kEventDdeData);
  bool acked = true;
  if ((flags & kDataAckReq) == 0) {
    if (item != 0) GlobalDeleteAtom(item);
  } else {
    acked = AckData(c, item);
  }
  if (bytes != nullptr) GlobalUnlock(block);
  if (block != nullptr && ((flags & kDataRelease) != 0 || !acked)) GlobalFree(block);
}

// The window ends without DDEclose: its owner window closed.
void OnWindowGone(Conversation& c) {
  SetWindowLongPtrA(c.window, 0, 0);
  if (!c.closing && LiveServer(c) != nullptr)
    PostMessageA(c.server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(c.window), 0);
  if (!c.closing) {
    c.server = nullptr;
    c.owner = nullptr;
  }
  c.window = nullptr;
}

void Handle(Conversation& c, UINT message, HWND from, LPARAM lparam) {
  const bool from_server = from != nullptr && from == c.server;
  if (message == WM_DDE_TERMINATE && from_server) {
    OnTerminate(c);
  } else if (message == WM_DDE_DATA && from_server) {
    OnData(c, lparam);
  } else if (message == WM_DDE_ACK && !from_server) {
    OnInitiateAnswer(c, from, lparam);
  } else if (message == WM_DDE_ACK) {
    FreeDDElParam(WM_DDE_ACK, lparam);
  }
}

}  // namespace

bool CreateConversationWindow(Conversation& c, HWND parent) {
  if (!RegisterDdeClass()) return false;
  DWORD style = parent != nullptr ? WS_CHILD : WS_POPUP;
  c.window = CreateWindowExA(0, kDdeWindowClass, nullptr, style, 0, 0, 0, 0, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (c.window == nullptr) return false;
  SetWindowLongPtrA(c.window, 0, reinterpret_cast<LONG_PTR>(&c));
  return true;
}

void DestroyConversationWindow(Conversation& c) {
  if (c.window == nullptr) return;
  c.closing = true;
  DestroyWindow(c.window);
  c.window = nullptr;
}

LRESULT CALLBACK DdeWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Conversation* c = ConversationOf(hwnd);
  if (message == WM_DESTROY && c != nullptr) OnWindowGone(*c);
  if (message < WM_DDE_FIRST || message > WM_DDE_LAST || c == nullptr)
    return DefWindowProcA(hwnd, message, wparam, lparam);
  if (InSendMessage() && message != WM_DDE_ACK && message != WM_DDE_INITIATE) {
    PostMessageA(hwnd, message, wparam, lparam);
    return 0;
  }
  Handle(*c, message, reinterpret_cast<HWND>(wparam), lparam);
  return 0;
}

}  // namespace kor
