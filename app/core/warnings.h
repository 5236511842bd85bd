// The standard warning: the application's 38 numbered file and data-entry
// messages (text, caption, buttons, default button, icon, and whether the
// program ends after it), the error text they quote, and the saved-error
// globals a procedure may fill to report an error after later runtime calls.
//
// Texts join their pieces exactly: blanks at the end or start of a piece are
// part of the text, and where two pieces meet without a blank (22 after the
// name, 24 after the colon, 5 after "file:") there is none. In the texts,
//   name  = CLIP(first text)    value = CLIP(second text)
//   err   = the error text (below)
//
// Error text, built on every call, at most 150 characters:
//   saved code != 0:  code 90: CLIP(saved file text) & " (" & saved file code & ")"
//                     else:    CLIP(saved text) & " (" & saved code & ")"
//   else:             ERRORCODE() 90: CLIP(DRIVERERROR()) & " (" & DRIVERERRORCODE() & ")"
//                     else:    CLIP(ERROR()) & " (" & ERRORCODE() & ")"
// after which the saved globals are cleared, so a saved error is reported
// once. The code that decides between texts (message 15) is the saved code
// when it was set, else ERRORCODE().
//
// Messages that end the program (1, 3, 4, 5, 22, and 2 answered No) end it
// with exit code 1 and their halt text: a fatal file error is a failure to a
// calling script, never a normal end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mxb {

// Message-box button bits and the runtime's standard icons.
inline constexpr uint32_t kButtonOk = 0x1, kButtonYes = 0x2, kButtonNo = 0x4;
inline constexpr uint32_t kButtonRetry = 0x10, kButtonCancel = 0x40;
inline constexpr uint32_t kIconQuestion = 32515;  // questions that ask for a decision
inline constexpr uint32_t kIconReport = 32516;    // reports
inline constexpr int kWarningCount = 38;
inline constexpr size_t kErrorTextMax = 150;
inline constexpr size_t kSavedTextSize = 256;  // CSTRING(256): 255 characters
inline constexpr int32_t kFatalFileExitCode = 1;

// The four saved-error globals, 0 and empty at start-up.
struct SavedError {
  int32_t code = 0;
  std::string text;
  int32_t file_code = 0;
  std::string file_text;
};
SavedError& GlobalSavedError();
// Saves the error state as it stands (ERRORCODE, ERROR(), and the driver's
// pair), for a report after later runtime calls.
void SaveCurrentError();

// One message, ready to be shown.
struct WarningMessage {
  int number = 0;
  std::string text;
  std::string caption;  // empty: the message box's default caption
  uint32_t buttons = 0;
  uint32_t default_button = 0;
  uint32_t icon = 0;
  const char* halt_text = nullptr;  // the program ends after it (2: only on No)
};

// The error text and the deciding code from the saved globals or the error
// state; clears the saved globals.
struct ErrorQuote {
  std::string text;
  int32_t code = 0;
};
ErrorQuote TakeErrorQuote();

// Builds message `number` (1..38); false for any other number.
bool BuildWarning(int number, std::string_view first, std::string_view second,
                  const ErrorQuote& err, WarningMessage* out);

// Where messages go: a message box on the screen, or the activity log and
// the report of an unattended run. Show returns the button pressed (for an
// unattended run: the message's default button).
class WarningSink {
 public:
  virtual ~WarningSink() = default;
  virtual uint32_t Show(const WarningMessage& message) = 0;
  // Ends the program with the exit code and halt text; does not return.
  [[noreturn]] virtual void End(int32_t exit_code, const char* halt_text) = 0;
};

// The standard warning: quote the error, build the message, show it, end
// the program where the message says so, return the button (0 for an
// unknown number, which shows nothing).
uint32_t StandardWarning(WarningSink& sink, int number, std::string_view first = {},
                         std::string_view second = {});

}  // namespace mxb
