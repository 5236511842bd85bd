// The standard warning's message table and the error text it quotes.
#include "app/core/warnings.h"

#include <cstdlib>
#include <string>

#include "app/core/batch_texts.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace mxb {

namespace {

SavedError g_saved;

// A blank-padded field of the error state, which a state never posted holds
// as zero bytes: up to the first NUL, trailing blanks removed.
std::string FieldText(const char* field, size_t size) {
  size_t n = 0;
  while (n < size && field[n] != '\0') ++n;
  return Clip(std::string_view(field, n));
}

std::string Quoted(std::string_view text, std::string_view code) {
  return Cut(Clip(text) + " (" + std::string(code) + ")", kErrorTextMax);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

constexpr const char* kEndsApp = ".  Press OK to end this application.";
constexpr const char* kNotAllowed =
    ", however %s are not allowed for this procedure.  Press OK to return to the calling "
    "procedure";

std::string InvalidRequest(const char* verb, const char* plural) {
  std::string text = std::string("This procedure was called to ") + verb + " a record";
  std::string tail = kNotAllowed;
  tail.replace(tail.find("%s"), 2, plural);
  return text + tail;
}

// The text (and, for 29 and 31, the caption) of message n.
std::string Text(int n, const std::string& name, const std::string& value, const ErrorQuote& q,
                 std::string* caption) {
  const std::string& err = q.text;
  switch (n) {
    case 1: return "Error: (" + err + ") accessing " + name + kEndsApp;
    case 2: return name + " key file is invalid.  Do you " + "want to rebuild the key?";
    case 3: return "Error: (" + err + ") repairing key for " + name + kEndsApp;
    case 4: return "Error: (" + err + ") creating " + name + kEndsApp;
    case 5: return "Error: (" + err + ") opening created " + "file:" + name + kEndsApp;
    case 6: return "The Procedure " + name + " has not " + "been defined.";
    case 7: return "Unable to read keyed record.  Error: " + err + ".  Insert Aborted";
    case 8: return "The value of " + name + " must" + " be lower than " + value + ".";
    case 9: return "The value of " + name + " must be" + " higher than " + value + ".";
    case 10: return "The value of " + name + " must be " + "between " + value + ".";
    case 11: return "The value for " + name + " must be " + "found in the " + value + " file.";
    case 12:
      return "This record is referenced from the file " + name +
             ".  Linking field(s) have been restricted" +
             " from change and have been reset to original values.";
    case 13:
      return "This record is referenced from the file " + name +
             ".  This record cannot be deleted while" + " these references exist.";
    case 14: return "An error was experienced during the update of record.  Error: " + err + ".";
    case 15:
      if (q.code == kor::kErrNone || q.code == kor::kErrRecordChangedByAnotherStation) {
        return "This record was changed by another station.";
      }
      return "An error (" + err + ") was experienced" +
             " when attempting to update a record from the file.  Probable Cause: " + name + ".";
    case 16:
    case 18:
      return std::string("An error was experienced ") + (n == 16 ? "changing" : "deleting") +
             " this record.  Do you want to try to save again?";
    case 17:
      return "An error (" + err + ") was experienced" +
             " when attempting to delete a record from the file " + name + ".";
    case 19: return InvalidRequest("insert", "inserts");
    case 20: return InvalidRequest("change", "changes");
    case 21: return InvalidRequest("delete", "deletions");
    case 22:
      return "The File " + name + "was not found, " +
             "and creation of the file is not allowed.  Press OK to end " + "this application.";
    case 23: return "Are you sure you want to cancel?";
    case 24: return "Adding this record creates a duplicate entry for the key:" + name;
    case 25:
      return "Attempts to automatically number this record have failed.  Error: " + err + ".";
    case 26: return name + " File Load Error.  " + "Error: " + err + ".";
    case 27: return "Are you certain you want to stop loading " + name + "?";
    case 28: return name + " File Load Error.  " + "The file you've requested contains no text.";
    case 29:
      if (name == "Down") {
        *caption = "End of File Error";
        return "The end of the viewed file was encountered.  Do you want to start again from "
               "the beginning?";
      }
      *caption = "Beginning of File Error";
      return "The beginning of the viewed file was encountered.  Do you want to start again "
             "from the end of the file?";
    case 30: return "File (" + name + ") could not be " + "opened.  Error: " + err + ".";
    case 31:
      if (name == "Put") {
        *caption = "Process PUT Error";
        return "An error was experienced when making changes to the " + value +
               " file.  Error: " + err;
      }
      *caption = "Process DELETE Error";
      return "An error was experienced when deleting a record from the " + value +
             " file.  Error: " + err;
    case 32:
      return "You've selected to delete the highlighted record.  Press OK to confirm deletion "
             "of this record.";
    case 33: return "Do you want to save the changes to this record?";
    case 34:
      return "Error: (" + err + ") attempting to frame the " + Lower(name) + " transaction on " +
             value + ".  " + name + " transaction cancelled.";
    case 35:
      return "Error: (" + err + ") attempting to access a " + "record from the " + name +
             " file.  Returning to " + "previous window.";
    case 36:
      return "Error: (" + err + ") attempting to open the " +
             "current VIEW. Filter and Range Limits ignored.";
    case 37: return "This record has been added to the file. Do you want to add another record?";
    default:  // 38
      return "This record was changed by another station. Those changes will now be "
             "displayed. Use the Ditto Button or Ctrl+' to recall your changes.";
  }
}

// Caption, buttons, default, icon and halt text of each number.
struct Frame {
  const char* caption;  // null: set by the text (29, 31)
  uint32_t buttons;
  uint32_t default_button;
  uint32_t icon;
  const char* halt_text;
};
constexpr uint32_t kYesNo = kButtonYes | kButtonNo;
constexpr uint32_t kYesNoCancel = kButtonYes | kButtonNo | kButtonCancel;
constexpr uint32_t kOkCancel = kButtonOk | kButtonCancel;
constexpr const char* kRangeError = "Range Error";
constexpr const char* kInvalidRequest = "Invalid Request";
constexpr const char* kFileLoadError = "File Load Error";
// clang-format off
constexpr Frame kFrames[kWarningCount] = {
    {"Invalid File", kButtonOk, kButtonOk, kIconReport, "Invalid File!"},                   // 1
    {"Invalid Key", kYesNo, kButtonYes, kIconQuestion, "Invalid Key!"},                     // 2
    {"Key Rebuild Error", kButtonOk, kButtonOk, kIconReport, "Error Rebuilding Key!"},      // 3
    {"File Creation Error", kButtonOk, kButtonOk, kIconReport, "File Creation Error!"},     // 4
    {"File Creation Error", kButtonOk, kButtonOk, kIconReport, "File Creation Error!"},     // 5
    {"Procedure not defined", kButtonOk, kButtonOk, kIconReport, nullptr},                  // 6
    {"", kButtonOk, kButtonOk, kIconReport, nullptr},                                       // 7
    {kRangeError, kButtonOk, kButtonOk, kIconReport, nullptr},                              // 8
    {kRangeError, kButtonOk, kButtonOk, kIconReport, nullptr},                              // 9
    {kRangeError, kButtonOk, kButtonOk, kIconReport, nullptr},                              // 10
    {"Field Contents Error", kButtonOk, kButtonOk, kIconReport, nullptr},                   // 11
    {"Referential Integrity Update Error", kButtonOk, kButtonOk, kIconReport, nullptr},     // 12
    {"Referential Integrity Delete Error", kButtonOk, kButtonOk, kIconReport, nullptr},     // 13
    {"Record Insert Error", kButtonOk, kButtonOk, kIconReport, nullptr},                    // 14
    {"Update Operation Error", kButtonOk, kButtonOk, kIconReport, nullptr},                 // 15
    {"Record Update Error", kYesNoCancel, kButtonCancel, kIconReport, nullptr},             // 16
    {"Delete Operation Error", kButtonOk, kButtonOk, kIconReport, nullptr},                 // 17
    {"Record Update Error", kYesNoCancel, kButtonCancel, kIconReport, nullptr},             // 18
    {kInvalidRequest, kButtonOk, kButtonOk, kIconReport, nullptr},                          // 19
    {kInvalidRequest, kButtonOk, kButtonOk, kIconReport, nullptr},                          // 20
    {kInvalidRequest, kButtonOk, kButtonOk, kIconReport, nullptr},                          // 21
    {"File Creation Not Allowed", kButtonOk, kButtonOk, kIconReport, "File Creation Error!"},  // 22
    {"Update Cancelled", kYesNo, kButtonNo, kIconQuestion, nullptr},                        // 23
    {"Duplicate Key Error", kButtonOk, kButtonOk, kIconReport, nullptr},                    // 24
    {"Auto Increment Error", kButtonRetry | kButtonCancel, kButtonCancel, kIconReport, nullptr},  // 25
    {kFileLoadError, kButtonOk, kButtonOk, kIconReport, nullptr},                           // 26
    {"Cancel Request", kOkCancel, kButtonCancel, kIconQuestion, nullptr},                   // 27
    {kFileLoadError, kButtonOk, kButtonOk, kIconReport, nullptr},                           // 28
    {nullptr, kYesNo, kButtonYes, kIconQuestion, nullptr},                                  // 29
    {"File Access Error", kButtonOk, kButtonOk, kIconReport, nullptr},                      // 30
    {nullptr, kButtonOk, kButtonOk, kIconReport, nullptr},                                  // 31
    {"Confirm Delete", kOkCancel, kButtonCancel, kIconQuestion, nullptr},                   // 32
    {"Update Cancelled", kYesNoCancel, kButtonNo, kIconQuestion, nullptr},                  // 33
    {"Transaction Framing Error", kButtonOk, kButtonOk, kIconReport, nullptr},              // 34
    {"Record Retrieval Error", kButtonOk, kButtonOk, kIconReport, nullptr},                 // 35
    {"View Open Error", kButtonOk, kButtonOk, kIconReport, nullptr},                        // 36
    {"Record Added", kYesNo, kButtonYes, kIconQuestion, nullptr},                           // 37
    {"Record Was Not Updated", kButtonOk, kButtonOk, kIconReport, nullptr},                 // 38
};
// clang-format on

}  // namespace

SavedError& GlobalSavedError() { return g_saved; }

void SaveCurrentError() {
  const kor::ErrorStateRecord& s = kor::CurrentErrorState();
  g_saved.code = kor::ERRORCODE();
  g_saved.text = Cut(FieldText(s.text, sizeof s.text), kSavedTextSize - 1);
  std::string code_text = FieldText(s.driver_code_text, sizeof s.driver_code_text);
  g_saved.file_code = static_cast<int32_t>(std::strtol(code_text.c_str(), nullptr, 10));
  g_saved.file_text = Cut(FieldText(s.driver_text, sizeof s.driver_text), kSavedTextSize - 1);
}

ErrorQuote TakeErrorQuote() {
  ErrorQuote q;
  if (g_saved.code != 0) {
    q.code = g_saved.code;
    q.text = g_saved.code == kor::kErrFileSystemError
                 ? Quoted(g_saved.file_text, std::to_string(g_saved.file_code))
                 : Quoted(g_saved.text, std::to_string(g_saved.code));
  } else {
    const kor::ErrorStateRecord& s = kor::CurrentErrorState();
    q.code = kor::ERRORCODE();
    q.text = q.code == kor::kErrFileSystemError
                 ? Quoted(FieldText(s.driver_text, sizeof s.driver_text),
                          FieldText(s.driver_code_text, sizeof s.driver_code_text))
                 : Quoted(FieldText(s.text, sizeof s.text), std::to_string(q.code));
  }
  g_saved = SavedError();
  return q;
}

bool BuildWarning(int number, std::string_view first, std::string_view second,
                  const ErrorQuote& err, WarningMessage* out) {
  if (number < 1 || number > kWarningCount) return false;
  const Frame& f = kFrames[number - 1];
  out->number = number;
  out->caption = f.caption != nullptr ? f.caption : "";
  out->text = Text(number, Clip(first), Clip(second), err, &out->caption);
  out->buttons = f.buttons;
  out->default_button = f.default_button;
  out->icon = f.icon;
  out->halt_text = f.halt_text;
  return true;
}

uint32_t StandardWarning(WarningSink& sink, int number, std::string_view first,
                         std::string_view second) {
  ErrorQuote quote = TakeErrorQuote();
  WarningMessage message;
  if (!BuildWarning(number, first, second, quote, &message)) return 0;
  uint32_t button = sink.Show(message);
  bool ends = message.halt_text != nullptr && (number != 2 || button == kButtonNo);
  if (ends) sink.End(kFatalFileExitCode, message.halt_text);
  return button;
}

}  // namespace mxb
