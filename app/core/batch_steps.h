// The steps of one batch operation that decide something: connecting to the
// environment, checking the DDE error after a command, judging a timer tick
// of the completion wait, and looking for the source and the output files.
// They reach the DDE client and the screen through BatchPort, so the same
// steps run against the real client in mxb.exe and in its tests.
//
// Connecting. DDEopen("KorvaneWin", ""); while no channel: start "Z9EE"
// without waiting, give it kConnectPauseMs, and open again. The loop is
// bounded: kConnectAttempts opens in all (the first one included), that is
// about kConnectAttempts x kConnectPauseMs = 30 s for an environment to come
// up, after which the operation reports kConnectFailedText and goes to its
// end steps. The environment is started only on the first, eleventh and
// twenty-first failure: a slow start is given time rather than a second copy.
//
// Completion wait, judged on each timer tick with the elapsed time since the
// acknowledgement measured on a monotonic millisecond clock (so midnight is
// no boundary):
//   elapsed > grace (1 minute) and an error is set  -> abandon, log the error
//   elapsed >= the cap (the operation's DDE time-out) -> abandon, log
//                                                       kOutputMissingText
//   otherwise                                        -> look for the output
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/batch_texts.h"

namespace mxb {

inline constexpr const char* kServiceName = "KorvaneWin";
inline constexpr const char* kEnvironmentCommand = "Z9EE";
inline constexpr int kConnectAttempts = 30;
inline constexpr uint32_t kConnectPauseMs = 1000;
inline constexpr const char* kConnectFailedText = "Korvane could not be reached";
inline constexpr const char* kOutputMissingText = "Output did not appear";
inline constexpr const char* kConnectedText = "Connected to Korvane";
inline constexpr const char* kCompleteText = "Processing Complete";
inline constexpr const char* kTerminatedCaption = "Processing Terminated";
inline constexpr uint32_t kIconError = 32514;
inline constexpr const char* kDdeTimeoutText = "DDE timeout";
inline constexpr uint32_t kGraceMs = kGraceMinutes * 60 * 1000;

// What the steps need of the DDE client and the screen.
class BatchPort {
 public:
  virtual ~BatchPort() = default;
  virtual int32_t DdeOpen() = 0;  // the service "KorvaneWin", empty topic
  virtual void StartEnvironment() = 0;
  virtual void Pause(uint32_t ms) = 0;  // lets the window and DDE messages run
  // The command as given; the result is left in the error state.
  virtual void DdeExecute(int32_t channel, const std::string& command) = 0;
  // One-shot requests of GetErrorNum (USHORT) and GetErrorMsg (CSTRING(300)).
  virtual void DdeRequestError(int32_t channel, int32_t* number, std::string* text) = 0;
  // A message box with the default caption unless one is given; icon 0 =
  // the box's default.
  virtual void Message(const std::string& text, const std::string& caption, uint32_t icon) = 0;
};

// Returns the channel, or 0 after `attempts` failed opens (tests shorten
// the bound; the program uses the defaults).
int32_t ConnectToEnvironment(BatchPort& port, int attempts = kConnectAttempts,
                             uint32_t pause_ms = kConnectPauseMs);

// The DDE error check: the error state saved, and what was shown.
struct DdeCheckResult {
  int32_t code = 0;  // ERRORCODE() when checked
  std::string text;  // ERROR() then, clipped
  bool failed() const { return code != 0; }
};
DdeCheckResult CheckDdeError(BatchPort& port, int32_t channel);
// The message shown for a code above 600 ("" for none), given the
// environment's answers to GetErrorNum/GetErrorMsg for 603.
std::string DdeErrorMessage(int32_t code, int32_t env_number, std::string_view env_text);

enum class TickVerdict { kLook, kAbandonOnError, kAbandonOnCap };
TickVerdict JudgeTick(uint32_t elapsed_ms, int32_t error_code, uint32_t cap_ms);

// The source check: an entry (not hidden, system or a directory) matches.
bool SourceExists(const std::string& pattern);
// The completion check over the listing of WaitPattern(spec, drive_path).
bool OutputPresent(const BatchOpSpec& spec, std::string_view drive_path, std::string_view base);

}  // namespace mxb
