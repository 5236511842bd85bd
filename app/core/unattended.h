// Unattended runs: the command-line switches of mxb.exe, its "/?" help text,
// the run report and the exit status. An unattended run is the same batch
// operation in the same main window and event loop, shown minimised or
// hidden; only where its messages go differs: nothing waits for an answer,
// every message goes to the activity log and to the report.
//
// Switches ("/" or "-", then a name in any letter case, "=" or ":" before a
// value; a value with blanks in double quotes):
//   /run=OP        run operation OP and end: makeexe, makedll, exportapp,
//                  importapp, importdct, exportdct
//   /yes           answers the import-application confirmation; importapp
//                  without it is refused before anything is touched
//   /report=PATH   the report file (default MXBRUN.JSON in the current folder)
//   /timeout=MIN   the DDE time-out in minutes, 1..255 (default 15)
//   /hide          no window on the screen (default: shown minimised)
//   /?             the help text
// Without /run the program starts as usual; the other switches then have no
// effect, and an unknown switch or a bad value is an error.
//
// Report: JSON Lines, one object per tagged project in the order processed,
//   {"operation":"make executable","project":"sales.app","outcome":"finished",
//    "seconds":1.25,"error_code":0,"error_text":""}
// outcomes: "finished", "source missing", "output missing", "failed",
// "not processed" (after a failure ended the operation); then one summary,
//   {"summary":{"operation":...,"projects":n,"finished":n,"failed":n,
//    "skipped":n,"exit_status":n,"message":"..."}}
//
// Exit status: 0 every tagged project finished (also: none was tagged),
// 1 a project failed or was skipped, 2 runtime error (the runtime's halt),
// 3 the environment could not be reached, 4 a fatal file error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/batch_texts.h"

namespace mxb {

enum ExitStatus : int32_t {
  kExitAllFinished = 0,
  kExitProjectFailed = 1,
  kExitRuntimeError = 2,
  kExitNoEnvironment = 3,
  kExitFatalFileError = 4,
};

enum class ShowMode { kNormal, kMinimised, kHidden };

struct RunOptions {
  const BatchOpSpec* op = nullptr;  // null: an interactive start
  bool confirmed = false;
  bool help = false;
  std::string report_path = "MXBRUN.JSON";
  uint8_t timeout_minutes = 15;
  ShowMode show = ShowMode::kNormal;
  bool unattended() const { return op != nullptr; }
};

// Parses the command line (without the program's name). False with *error
// set for an unknown switch, a bad value, or importapp without /yes.
bool ParseCommandLine(std::string_view line, RunOptions* options, std::string* error);
std::string HelpText();

enum class Outcome { kFinished, kSourceMissing, kOutputMissing, kFailed, kNotProcessed };
const char* OutcomeName(Outcome outcome);

struct ProjectResult {
  std::string project;
  Outcome outcome = Outcome::kFinished;
  double seconds = 0;
  int32_t error_code = 0;
  std::string error_text;
};

// The report of one run.
class RunReport {
 public:
  explicit RunReport(const BatchOpSpec& op) : op_(op) {}
  void Add(const ProjectResult& result) { results_.push_back(result); }
  // Messages that would have been shown go to the summary's message.
  void Note(std::string_view message);
  void SetEnvironmentUnreachable() { no_environment_ = true; }
  void SetFatalFileError() { fatal_file_error_ = true; }
  const std::vector<ProjectResult>& results() const { return results_; }
  int32_t ExitStatus() const;
  // The JSON Lines text.
  std::string Text() const;
  // Writes Text() to the path; false when the file could not be written.
  bool WriteTo(const std::string& path) const;

 private:
  const BatchOpSpec& op_;
  std::vector<ProjectResult> results_;
  std::string notes_;
  bool no_environment_ = false;
  bool fatal_file_error_ = false;
};

}  // namespace mxb
