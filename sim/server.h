// The stand-in's main window: visible so a person can see and close it; it
// answers WM_DDE_INITIATE for the service (or an empty service, any topic)
// with one conversation window per client, shows what happens, writes the
// outputs of accepted commands after their delay, and quits after the idle
// time. Closing it posts WM_DDE_TERMINATE on every open conversation and
// waits (bounded) for the answers before the process ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/conversation.h"
#include "sim/event_log.h"
#include "sim/outputs.h"
#include "sim/settings.h"
#include "sim/window.h"

namespace sim {

class Server : public Window {
 public:
  Server(const Settings& settings, EventLog& log);
  ~Server() override;

  bool Create(int show);

  // The main window's title for a service: "Korvane (stand-in)" for
  // KorvaneWin, with the service in brackets after it for any other.
  static std::string TitleFor(const std::string& service);
  // Whether two service names are the same (DDE names ignore letter case).
  static bool SameService(const std::string& a, const std::string& b);

  const Settings& settings() const { return settings_; }
  EventLog& log() { return log_; }

  // For the conversations: an accepted command's outputs, the counts shown,
  // DDE traffic (resets the idle time), and a conversation that ended.
  void ScheduleOutputs(int conversation, const Command& command, const std::string& text);
  void CountCommand(bool accepted);
  void NoteActivity() { last_activity_ = GetTickCount(); }
  void Reap();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnCreate();
  void OnSize(int width, int height);
  void OnInitiate(HWND client, ATOM service, ATOM topic);
  void OnTimer(UINT_PTR id);
  void OnReap();
  void OnClose(const char* reason);
  void OnDestroy();
  void Housekeeping();
  void ShowStatus(const std::string& last_line);
  size_t OpenConversations() const;

  const Settings& settings_;
  EventLog& log_;
  PendingOutputs outputs_;
  std::vector<std::unique_ptr<Conversation>> conversations_;
  HWND status_ = nullptr;
  std::string last_line_;  // the last event, shown
  DWORD started_ = 0;
  DWORD last_activity_ = 0;
  bool ready_ = false;
  const char* closing_ = nullptr;  // why the stand-in is closing, or null
  int last_number_ = 0;
  unsigned accepted_ = 0;
  unsigned refused_ = 0;
};

}  // namespace sim
