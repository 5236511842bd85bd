// One DDE conversation of the stand-in with one client: a message-only
// window that takes the client's commands and requests and answers them.
//
// Life: created when an initiate is answered; ended when the client posts
// WM_DDE_TERMINATE (answered with one), when the stand-in posts its own
// (after N commands, or when it closes) and the client's answer arrives, or
// when the client's window is found gone (once what the client posted before
// it went has been handled). An ended conversation destroys its window and
// asks the server to drop the object later (never from inside its own window
// procedure).
#pragma once

#include <string>
#include <string_view>

#include "sim/window.h"

namespace sim {

class Server;
struct ParseResult;

class Conversation : public Window {
 public:
  Conversation(Server& server, int number, HWND client);

  bool Create();
  int number() const { return number_; }
  HWND client() const { return client_; }
  bool done() const { return done_; }

  // Posts WM_DDE_TERMINATE and waits for the client's; `why` goes to the log.
  void Terminate(std::string_view why);
  // Ends the conversation without a word (the client's window is gone).
  void Abandon(std::string_view why);
  // The client's window no longer exists: abandoned once the messages the
  // client posted before are handled, unless one of them ended it.
  void ClientGone();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnExecute(HWND from, LPARAM lparam);
  void OnRequest(HWND from, LPARAM lparam);
  void OnTerminate(HWND from);
  void OnUnsupported(UINT msg, HWND from, LPARAM lparam);
  void OnStray(UINT msg, LPARAM lparam);

  ParseResult Judge(std::string_view text, bool terminated) const;
  void Answer(HGLOBAL commands, const std::string& text, const ParseResult& verdict);
  bool ItemText(std::string_view item, std::string* value) const;
  void Finish();

  Server& server_;
  int number_;
  HWND client_;
  unsigned commands_ = 0;     // executes received
  bool terminating_ = false;  // WM_DDE_TERMINATE posted, waiting for the answer
  bool done_ = false;
  bool client_gone_ = false;  // ClientGone's check is queued
  int error_ = 0;             // the last command's refusal, for GetErrorNum
  std::string error_text_ = "No error";
};

}  // namespace sim
