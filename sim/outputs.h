// The output files of accepted commands, written after the configured delay
// on a timer of the main window, each through a temporary file in the same
// directory and a rename, so a reader never sees a half-written file.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace sim {

class EventLog;
struct Settings;

class PendingOutputs {
 public:
  PendingOutputs(const Settings& settings, EventLog& log) : settings_(settings), log_(log) {}

  // Sets a timer on `owner` that writes `files` with `content` when it fires.
  void Schedule(HWND owner, int conversation, std::vector<std::string> files, std::string content);
  // Handles a timer of `owner`: true when it was one of the output timers.
  bool OnTimer(HWND owner, UINT_PTR id);
  // Logs every output still waiting as abandoned (the stand-in is closing).
  void Abandon();
  bool empty() const { return jobs_.empty(); }

  // Timer ids from here on are output timers.
  static constexpr UINT_PTR kFirstTimerId = 100;

 private:
  struct Job {
    int conversation;
    std::vector<std::string> files;
    std::string content;
  };
  void Write(const Job& job);

  const Settings& settings_;
  EventLog& log_;
  std::map<UINT_PTR, Job> jobs_;
  UINT_PTR next_id_ = kFirstTimerId;
};

}  // namespace sim
