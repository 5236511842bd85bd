// The batch operations' link to the real DDE client, the environment's
// start-up, the window's timer and the clock: the BatchScreen that mxb.exe
// and its test programs hand to the operation loop and its steps.
//
// Messages. Interactive runs show them through the message hook the message
// box installs (SetBatchMessageHook); unattended runs never wait: each
// message is noted in the run report. Either way ShowsMessages() tells the
// operation loop whether a person sees it; when not (unattended, or no hook
// installed yet) the loop writes it to the activity log, so nothing is lost.
//
// Waiting. WaitForTick runs an inner ACCEPT loop on the thread's top window
// until its next EVENT:Timer; it returns false when the loop ended without
// one (the window closed). Pause waits for platform messages, handling
// them, for the time given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/core/batch_run.h"
#include "app/core/unattended.h"

namespace mxb {

using BatchMessageHook = void (*)(const std::string& text, const std::string& caption,
                                  uint32_t icon);
void SetBatchMessageHook(BatchMessageHook hook);

class DdeBatchScreen : public BatchScreen {
 public:
  // `service` and `start_command` default to "KorvaneWin" and "Z9EE"; the
  // tests give their stand-in a service of their own.
  DdeBatchScreen(std::string service = kServiceName,
                 std::string start_command = kEnvironmentCommand);

  // Unattended: messages go to the log and the report, never to the screen.
  void SetUnattended(RunReport* report) { report_ = report; }
  // Called when "Last Action" or the connection flag changed (the main
  // frame redraws its fields); may be null.
  using FieldsChanged = std::function<void(const std::string& last_action, bool connected)>;
  void SetFieldsChanged(FieldsChanged changed) { changed_ = std::move(changed); }
  const std::string& last_action() const { return last_action_; }
  // Messages shown or logged, in order (kept for the tests' probes).
  const std::vector<std::string>& messages() const { return messages_; }

  int32_t DdeOpen() override;
  void StartEnvironment() override;
  void Pause(uint32_t ms) override;
  void DdeExecute(int32_t channel, const std::string& command) override;
  void DdeRequestError(int32_t channel, int32_t* number, std::string* text) override;
  void Message(const std::string& text, const std::string& caption, uint32_t icon) override;
  bool ShowsMessages() override;
  void SetConnected(bool connected) override;
  void SetLastAction(const std::string& text) override;
  void Beep() override;
  void SetDdeTimeout(uint32_t hundredths) override;
  void DdeClose(int32_t channel) override;
  bool WaitForTick() override;
  uint32_t NowMs() override;

 private:
  std::string service_;
  std::string start_command_;
  RunReport* report_ = nullptr;
  FieldsChanged changed_;
  std::string last_action_;
  bool connected_ = false;
  std::vector<std::string> messages_;
};

}  // namespace mxb
