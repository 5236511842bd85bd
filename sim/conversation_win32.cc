// One DDE conversation of the stand-in: commands, requests, termination.
#include "sim/conversation.h"

#include <dde.h>

#include <cctype>

#include "sim/command.h"
#include "sim/dde_message.h"
#include "sim/server.h"

namespace sim {
namespace {

constexpr UINT kClientGoneMessage = WM_APP + 1;  // posted to itself by ClientGone

// The command text of an execute block, up to its terminating zero. Returns
// false when the block has no zero (the text is then the whole block).
bool ReadCommand(HGLOBAL block, std::string* text) {
  const char* bytes = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
  if (bytes == nullptr) return false;
  SIZE_T size = GlobalSize(block);
  SIZE_T n = 0;
  while (n < size && bytes[n] != '\0') ++n;
  text->assign(bytes, n);
  GlobalUnlock(block);
  return n < size;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

Conversation::Conversation(Server& server, int number, HWND client)
    : server_(server), number_(number), client_(client) {}

bool Conversation::Create() { return CreateWindowFor("", 0, HWND_MESSAGE, 0, 0); }

LRESULT Conversation::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kClientGoneMessage) {
    Abandon("client window gone");
    return 0;
  }
  if (msg < WM_DDE_FIRST || msg > WM_DDE_LAST || msg == WM_DDE_INITIATE)
    return Default(msg, wparam, lparam);
  auto from = reinterpret_cast<HWND>(wparam);
  if (from != client_ || done_) return 0;  // not this conversation's partner
  server_.NoteActivity();
  switch (msg) {
    case WM_DDE_EXECUTE: OnExecute(from, lparam); break;
    case WM_DDE_REQUEST: OnRequest(from, lparam); break;
    case WM_DDE_TERMINATE: OnTerminate(from); break;
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_POKE: OnUnsupported(msg, from, lparam); break;
    default: OnStray(msg, lparam); break;
  }
  return 0;
}

void Conversation::OnExecute(HWND, LPARAM lparam) {
  auto commands = reinterpret_cast<HGLOBAL>(lparam);
  std::string text;
  bool terminated = ReadCommand(commands, &text);
  if (terminating_) {
    // The client frees its block when it sees our terminate.
    server_.log().Write("execute", number_, "ignored (terminating)", text);
    return;
  }
  ++commands_;
  if (server_.settings().no_answer) {
    server_.log().Write("execute", number_, "unanswered", text);
  } else {
    Answer(commands, text, Judge(text, terminated));
  }
  unsigned after = server_.settings().terminate_after;
  if (after != 0 && commands_ == after)
    Terminate("after " + std::to_string(after) + " command" + (after == 1 ? "" : "s"));
}

ParseResult Conversation::Judge(std::string_view text, bool terminated) const {
  ParseResult r;
  if (!terminated) {
    r.error = kSimMalformedCommand;
    r.message = "Malformed command: no terminating zero";
    return r;
  }
  r = ParseCommand(text);
  if (!r.ok) return r;
  if (IsRefused(server_.settings(), r.command)) {
    r.ok = false;
    r.error = kSimProjectRefused;
    r.message = "Project refused: " + r.command.stem;
  } else if (!FileExists(r.command.source)) {
    r.ok = false;
    r.error = kSimSourceMissing;
    r.message = "Source file not found: " + r.command.source;
  }
  return r;
}

void Conversation::Answer(HGLOBAL commands, const std::string& text, const ParseResult& verdict) {
  // The acknowledgement carries the command block back; the client frees it.
  WORD status = verdict.ok ? kAckPositive : kAckNegative;
  if (!PostAck(client_, hwnd(), status, reinterpret_cast<UINT_PTR>(commands))) {
    server_.log().Write("execute", number_, "acknowledgement not posted", text);
    return;
  }
  error_ = verdict.ok ? kSimNoError : verdict.error;
  error_text_ = verdict.ok ? "No error" : verdict.message;
  if (!verdict.ok) {
    server_.CountCommand(false);
    server_.log().Write("execute", number_, "refused " + std::to_string(error_) + " " + error_text_,
                        text);
    return;
  }
  server_.CountCommand(true);
  server_.log().Write("execute", number_, "accepted", text);
  server_.ScheduleOutputs(number_, verdict.command, text);
}

// The value of a request item; false for an item that is not served.
bool Conversation::ItemText(std::string_view item, std::string* value) const {
  std::string name = Lower(item);
  if (name == "geterrornum") *value = std::to_string(error_);
  else if (name == "geterrormsg") *value = error_text_;
  else return false;
  return true;
}

void Conversation::OnRequest(HWND, LPARAM lparam) {
  UINT_PTR format = 0, item = 0;
  UnpackAndFree(WM_DDE_REQUEST, lparam, &format, &item);
  auto atom = static_cast<ATOM>(item);
  std::string name = AtomName(atom);
  if (terminating_) {
    GlobalDeleteAtom(atom);
    return;
  }
  std::string value;
  bool known = format == CF_TEXT && ItemText(name, &value);
  if (known && PostTextData(client_, hwnd(), atom, value)) {
    server_.log().Write("request", number_, "answered", name + "=" + value);
  } else if (!known && PostAck(client_, hwnd(), kAckNegative, atom)) {
    server_.log().Write("request", number_, format == CF_TEXT ? "refused" : "refused (not CF_TEXT)",
                        name);
  } else {
    GlobalDeleteAtom(atom);
    server_.log().Write("request", number_, "answer not posted", name);
  }
}

void Conversation::OnTerminate(HWND) {
  if (terminating_) {
    server_.log().Write("terminate", number_, "answered", "");
  } else {
    PostTerminate(client_, hwnd());
    server_.log().Write("terminate", number_, "by client", "");
  }
  Finish();
}

// Advise, unadvise and poke are not served: a negative acknowledgement with
// the item atom; the client then frees its options or data block.
void Conversation::OnUnsupported(UINT msg, HWND, LPARAM lparam) {
  UINT_PTR block = 0, item = 0;
  UnpackAndFree(msg, lparam, &block, &item);
  auto atom = static_cast<ATOM>(item);
  const char* kind = msg == WM_DDE_ADVISE ? "advise" : msg == WM_DDE_POKE ? "poke" : "unadvise";
  std::string name = AtomName(atom);
  if (!terminating_ && PostAck(client_, hwnd(), kAckNegative, atom)) {
    server_.log().Write(kind, number_, "refused", name);
    return;
  }
  GlobalDeleteAtom(atom);
  if (msg != WM_DDE_UNADVISE && block != 0) GlobalFree(reinterpret_cast<HGLOBAL>(block));
  server_.log().Write(kind, number_, "dropped", name);
}

// An acknowledgement or data the stand-in never asked for: freed, not answered.
void Conversation::OnStray(UINT msg, LPARAM lparam) {
  UINT_PTR low = 0, high = 0;
  UnpackAndFree(msg, lparam, &low, &high);
  if (msg == WM_DDE_DATA) {
    if (low != 0) GlobalFree(reinterpret_cast<HGLOBAL>(low));
    GlobalDeleteAtom(static_cast<ATOM>(high));
  }
  server_.log().Write(msg == WM_DDE_DATA ? "data" : "ack", number_, "ignored", "");
}

void Conversation::Terminate(std::string_view why) {
  if (done_ || terminating_) return;
  terminating_ = true;
  if (!PostTerminate(client_, hwnd())) {
    Abandon("terminate not posted");
    return;
  }
  server_.log().Write("terminate", number_, "posted", why);
}

// What the client posted before its window went is already in this thread's
// queue: a message posted now comes after it, so a queued answer (its
// terminate, say) is taken before the conversation is abandoned.
void Conversation::ClientGone() {
  if (done_ || client_gone_) return;
  client_gone_ = true;
  if (!PostMessageA(hwnd(), kClientGoneMessage, 0, 0)) Abandon("client window gone");
}

void Conversation::Abandon(std::string_view why) {
  if (done_) return;
  server_.log().Write("terminate", number_, "abandoned", why);
  Finish();
}

void Conversation::Finish() {
  done_ = true;
  DestroyWindow(hwnd());
  server_.Reap();
}

}  // namespace sim
