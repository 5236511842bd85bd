// The stand-in's event log, read by the tests: one line per event, written
// and flushed at once, appended to (a second instance that quits at once
// must not wipe the running one's log).
//
// Line: KIND <tab> CONVERSATION <tab> RESULT <tab> DETAIL <cr><lf>
//   KIND          start, ready, initiate, client, execute, request, advise,
//                 poke, output, terminate, quit
//   CONVERSATION  the conversation's number in this process, 0 for none
//   RESULT        accepted, refused 103 <why>, answered ... (see the callers);
//                 for client (after each answered initiate): "process" and
//                 the client's Windows process id
//   DETAIL        for execute: the command exactly as it arrived, up to its
//                 terminating zero, trailing blanks included
// Every field is written byte for byte, except that bytes below 0x20, the
// byte 0x7F and "%" itself are written as "%" and two upper-case hex digits
// (a tab as %09, "%" as %25), so a line never breaks inside a field.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace sim {

class EventLog {
 public:
  EventLog() = default;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  ~EventLog();

  // Opens the log for appending. Returns false when it cannot be opened.
  bool Open(const std::string& path);

  void Write(std::string_view kind, int conversation, std::string_view result,
             std::string_view detail);

  // Called with each line written (without its line end), e.g. for display.
  void SetListener(std::function<void(const std::string&)> listener) {
    listener_ = std::move(listener);
  }

  // The escaped form of one field.
  static std::string Escape(std::string_view field);
  // One whole line without its line end.
  static std::string Line(std::string_view kind, int conversation, std::string_view result,
                          std::string_view detail);

 private:
  std::FILE* file_ = nullptr;
  std::function<void(const std::string&)> listener_;
};

}  // namespace sim
