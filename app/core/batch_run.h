// One batch operation from start to end steps: the activity log re-created,
// the connection, the walk over `Apps` in APP:PriorityKey order (tag 1
// only), per project the source check, begin text, removal of the old
// output, the command, the DDE error check and the completion wait, then the
// termination path or the end steps. The files are reached through the file
// statements (any driver); the DDE client, the screen and the clock through
// BatchScreen, so the same loop runs in mxb.exe and unattended.
//
// Messages. Every message of an operation (the DDE error check's, the
// termination message, the connection failure) goes to the screen; when the
// screen shows nothing (an unattended run, or no message box installed yet)
// the loop writes it to the activity log under the current project instead,
// so that none is lost. The connection failure is logged once in every run,
// shown or not.
//
// Departures from the plain sequence, each a mend:
//   - the connection loop is bounded (batch_steps.h); when it gives up the
//     message kConnectFailedText is shown and logged, and the end steps run;
//   - the completion wait is capped at the DDE time-out, measured from the
//     acknowledgement; when the cap is reached kOutputMissingText is logged
//     and the next project follows;
//   - the grace time is elapsed time on a monotonic clock;
//   - the window closing during a wait ends the wait and the operation, and
//     the end steps still run (log closed, conversation closed);
//   - a command longer than its 255-character variable is not sent: the
//     project is logged as failed with kCommandTooLongText and skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/batch_steps.h"
#include "app/core/unattended.h"
#include "app/core/warnings.h"

namespace mxb {

inline constexpr const char* kCommandTooLongText = "Command too long for this folder";

class BatchScreen : public BatchPort {
 public:
  // False when Message shows nothing that a person sees.
  virtual bool ShowsMessages() = 0;
  virtual void SetConnected(bool connected) = 0;
  virtual void SetLastAction(const std::string& text) = 0;  // shown at once
  virtual void Beep() = 0;
  virtual void SetDdeTimeout(uint32_t hundredths) = 0;
  virtual void DdeClose(int32_t channel) = 0;
  // Runs the inner event loop until the next EVENT:Timer of the main
  // window; false when the window closed meanwhile.
  virtual bool WaitForTick() = 0;
  virtual uint32_t NowMs() = 0;  // monotonic
};

struct BatchRunSettings {
  uint8_t timeout_minutes = 15;
  RunReport* report = nullptr;  // unattended runs: one row per tagged project
};

// Adds one record to the activity log: the project (cut to 40), TODAY(),
// CLOCK() and the event text (cut to 80).
void LogEvent(std::string_view project, std::string_view event);

// Runs the operation. The confirmation of import application is the
// caller's (it comes before anything is touched).
void RunBatch(const BatchOpSpec& spec, BatchScreen& screen, WarningSink& files,
              const BatchRunSettings& settings);

}  // namespace mxb
