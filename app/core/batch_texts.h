// The six batch operations as data: what each one checks, removes, sends and
// waits for, and every text it shows or logs. The operation loop and the
// unattended runs both build their commands and texts here, so a text is
// spelt once.
//
// Working names, as the operations use them:
//   project  CLIP(APP:APPLICATION)
//   base     the characters of APP:APPLICATION before its first "."; a name
//            without "." counts whole as its base name (clipped)
//   stem     CLIP(APP:DRIVENPATH) & CLIP(base), cut to 130 characters
//
// Commands are sent as the whole 255-character command variable: the pieces
// and the stem follow each other with nothing between them, and the rest is
// blanks. Only the first file name is quoted:
//   make exe, make dll  [ExecuteProject("stem.app")]
//   export application  [ExportApp("stem.App",stem.TXA,0)]
//   import application  [ImportApp("stem.TXA",stem.APP,0,Replace)]
//   import dictionary   [ImportDCT("stem.TXD",stem.DCT,0)]
//   export dictionary   [ExportDCT("stem.DCT",stem.TXD,0)]
// A command longer than 255 characters does not fit the variable; it is
// refused by CommandFits rather than sent cut (a cut command names a file
// that does not exist).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mxb {

enum class BatchOp : uint8_t {
  kMakeExe,
  kMakeDll,
  kExportApp,
  kImportApp,
  kImportDct,
  kExportDct,
};
inline constexpr int kBatchOpCount = 6;

// Sizes of the working variables.
inline constexpr size_t kCommandSize = 255;    // the DDE command variable
inline constexpr size_t kStemSize = 130;       // directory and base name
inline constexpr size_t kBaseSize = 50;        // APP:APPLICATION's size
inline constexpr size_t kPatternSize = 100;    // the completion listing pattern
inline constexpr size_t kLastActionSize = 30;  // the main window's "Last Action"
inline constexpr size_t kLogEventSize = 80;    // TMP:EVENT
inline constexpr size_t kLogProjectSize = 40;  // TMP:APPS
inline constexpr size_t kListedNameSize = 13;  // FIL:NAME of the listing queue
inline constexpr uint32_t kGraceMinutes = 1;   // a failing wait's grace time
inline constexpr uint32_t kHundredthsPerMinute = 6000;

// One operation's row. A null text means "unchanged" (status texts) or
// "none" (output removed first, second stem of the command).
struct BatchOpSpec {
  BatchOp op;
  const char* switch_name;      // unattended-run switch, e.g. "makeexe"
  const char* title;            // for reports: "make executable" ...
  const char* source_ext;       // the source that must exist: ".APP"
  const char* removed_ext;      // output removed before the command, or null
  const char* wait_wildcard;    // completion listing wildcard: "*.EXE"
  const char* expected_ext;     // expected output's extension: ".EXE"
  const char* status_before;    // prefix before the command, or null
  const char* status_ack;       // suffix after the acknowledgement
  const char* status_finished;  // suffix when finished, or null
  const char* log_begin;        // "Begin Make"
  const char* log_finished;     // "Make Finished"
  const char* terminate_text;   // "Error Making .App "
  const char* command_head;     // the piece before the first stem
  const char* command_middle;   // between the stems, or the tail when only one
  const char* command_tail;     // after the second stem, or null
};

const BatchOpSpec& OpSpec(BatchOp op);
// The row whose switch name equals `name` (any letter case), or null.
const BatchOpSpec* FindOpBySwitch(std::string_view name);

// Text helpers of the fixed-length string rules.
std::string Clip(std::string_view text);           // trailing blanks removed
std::string Cut(std::string_view text, size_t n);  // at most n characters
std::string Upper(std::string_view text);          // ASCII upper case

std::string BaseName(std::string_view application);
std::string ProjectStem(std::string_view drive_path, std::string_view application);

// The command, exactly kCommandSize characters (blank-padded); empty when
// the command does not fit.
std::string BuildCommand(const BatchOpSpec& spec, std::string_view stem);
bool CommandFits(const BatchOpSpec& spec, std::string_view stem);

// Directory patterns.
std::string SourcePattern(const BatchOpSpec& spec, std::string_view stem);
std::string WaitPattern(const BatchOpSpec& spec, std::string_view drive_path);
std::string RemovedName(const BatchOpSpec& spec, std::string_view stem);  // "" when none

// Log texts, cut to kLogEventSize.
std::string MissingSourceText(const BatchOpSpec& spec);               // ".APP not found"
std::string ErrorLogText(int32_t code, std::string_view error_text);  // "Error n text"

// "Last Action" texts, cut to kLastActionSize; empty when unchanged.
std::string StatusBefore(const BatchOpSpec& spec, std::string_view project);
std::string StatusAck(const BatchOpSpec& spec, std::string_view project);
std::string StatusFinished(const BatchOpSpec& spec, std::string_view project);

// The "Processing Terminated" message of an error code below 600.
std::string TerminateMessage(const BatchOpSpec& spec, int32_t code, std::string_view text);

// Whether a listed entry is the expected output. `listed` is the listing
// queue's name (the 8.3 name cut to 13, leading blanks ignored); `long_name`
// the entry's full name where the system has one. Either matching
// base & expected extension without regard to case counts: a base name
// longer than 8 characters only ever matches by its full name.
bool IsExpectedOutput(const BatchOpSpec& spec, std::string_view base, std::string_view listed,
                      std::string_view long_name);

}  // namespace mxb
