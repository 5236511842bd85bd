// The standard warning: every one of the 38 messages written out in full,
// the error text it quotes, and the program's end after the fatal ones.
#include "app/core/warnings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"

namespace mxb {
namespace {

constexpr uint32_t OK = kButtonOk, YES = kButtonYes, NO = kButtonNo, RETRY = kButtonRetry,
                   CANCEL = kButtonCancel, Q = kIconQuestion, R = kIconReport;

struct Row {
  int number;
  const char* first;
  const char* text;
  const char* caption;
  uint32_t buttons;
  uint32_t default_button;
  uint32_t icon;
  const char* halt;
};

// name "APPS", value "1 and 9", err "Access Denied (5)", deciding code 5.
// clang-format off
const Row kRows[] = {
  {1, "APPS", "Error: (Access Denied (5)) accessing APPS.  Press OK to end this application.", "Invalid File", OK, OK, R, "Invalid File!"},
  {2, "APPS", "APPS key file is invalid.  Do you want to rebuild the key?", "Invalid Key", YES | NO, YES, Q, "Invalid Key!"},
  {3, "APPS", "Error: (Access Denied (5)) repairing key for APPS.  Press OK to end this application.", "Key Rebuild Error", OK, OK, R, "Error Rebuilding Key!"},
  {4, "APPS", "Error: (Access Denied (5)) creating APPS.  Press OK to end this application.", "File Creation Error", OK, OK, R, "File Creation Error!"},
  {5, "APPS", "Error: (Access Denied (5)) opening created file:APPS.  Press OK to end this application.", "File Creation Error", OK, OK, R, "File Creation Error!"},
  {6, "APPS", "The Procedure APPS has not been defined.", "Procedure not defined", OK, OK, R, nullptr},
  {7, "APPS", "Unable to read keyed record.  Error: Access Denied (5).  Insert Aborted", "", OK, OK, R, nullptr},
  {8, "APPS", "The value of APPS must be lower than 1 and 9.", "Range Error", OK, OK, R, nullptr},
  {9, "APPS", "The value of APPS must be higher than 1 and 9.", "Range Error", OK, OK, R, nullptr},
  {10, "APPS", "The value of APPS must be between 1 and 9.", "Range Error", OK, OK, R, nullptr},
  {11, "APPS", "The value for APPS must be found in the 1 and 9 file.", "Field Contents Error", OK, OK, R, nullptr},
  {12, "APPS", "This record is referenced from the file APPS.  Linking field(s) have been restricted from change and have been reset to original values.", "Referential Integrity Update Error", OK, OK, R, nullptr},
  {13, "APPS", "This record is referenced from the file APPS.  This record cannot be deleted while these references exist.", "Referential Integrity Delete Error", OK, OK, R, nullptr},
  {14, "APPS", "An error was experienced during the update of record.  Error: Access Denied (5).", "Record Insert Error", OK, OK, R, nullptr},
  {15, "APPS", "An error (Access Denied (5)) was experienced when attempting to update a record from the file.  Probable Cause: APPS.", "Update Operation Error", OK, OK, R, nullptr},
  {16, "APPS", "An error was experienced changing this record.  Do you want to try to save again?", "Record Update Error", YES | NO | CANCEL, CANCEL, R, nullptr},
  {17, "APPS", "An error (Access Denied (5)) was experienced when attempting to delete a record from the file APPS.", "Delete Operation Error", OK, OK, R, nullptr},
  {18, "APPS", "An error was experienced deleting this record.  Do you want to try to save again?", "Record Update Error", YES | NO | CANCEL, CANCEL, R, nullptr},
  {19, "APPS", "This procedure was called to insert a record, however inserts are not allowed for this procedure.  Press OK to return to the calling procedure", "Invalid Request", OK, OK, R, nullptr},
  {20, "APPS", "This procedure was called to change a record, however changes are not allowed for this procedure.  Press OK to return to the calling procedure", "Invalid Request", OK, OK, R, nullptr},
  {21, "APPS", "This procedure was called to delete a record, however deletions are not allowed for this procedure.  Press OK to return to the calling procedure", "Invalid Request", OK, OK, R, nullptr},
  {22, "APPS", "The File APPSwas not found, and creation of the file is not allowed.  Press OK to end this application.", "File Creation Not Allowed", OK, OK, R, "File Creation Error!"},
  {23, "APPS", "Are you sure you want to cancel?", "Update Cancelled", YES | NO, NO, Q, nullptr},
  {24, "APPS", "Adding this record creates a duplicate entry for the key:APPS", "Duplicate Key Error", OK, OK, R, nullptr},
  {25, "APPS", "Attempts to automatically number this record have failed.  Error: Access Denied (5).", "Auto Increment Error", RETRY | CANCEL, CANCEL, R, nullptr},
  {26, "APPS", "APPS File Load Error.  Error: Access Denied (5).", "File Load Error", OK, OK, R, nullptr},
  {27, "APPS", "Are you certain you want to stop loading APPS?", "Cancel Request", OK | CANCEL, CANCEL, Q, nullptr},
  {28, "APPS", "APPS File Load Error.  The file you've requested contains no text.", "File Load Error", OK, OK, R, nullptr},
  {29, "Down", "The end of the viewed file was encountered.  Do you want to start again from the beginning?", "End of File Error", YES | NO, YES, Q, nullptr},
  {29, "Up", "The beginning of the viewed file was encountered.  Do you want to start again from the end of the file?", "Beginning of File Error", YES | NO, YES, Q, nullptr},
  {30, "APPS", "File (APPS) could not be opened.  Error: Access Denied (5).", "File Access Error", OK, OK, R, nullptr},
  {31, "Put", "An error was experienced when making changes to the 1 and 9 file.  Error: Access Denied (5)", "Process PUT Error", OK, OK, R, nullptr},
  {31, "Delete", "An error was experienced when deleting a record from the 1 and 9 file.  Error: Access Denied (5)", "Process DELETE Error", OK, OK, R, nullptr},
  {32, "APPS", "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.", "Confirm Delete", OK | CANCEL, CANCEL, Q, nullptr},
  {33, "APPS", "Do you want to save the changes to this record?", "Update Cancelled", YES | NO | CANCEL, NO, Q, nullptr},
  {34, "APPS", "Error: (Access Denied (5)) attempting to frame the apps transaction on 1 and 9.  APPS transaction cancelled.", "Transaction Framing Error", OK, OK, R, nullptr},
  {35, "APPS", "Error: (Access Denied (5)) attempting to access a record from the APPS file.  Returning to previous window.", "Record Retrieval Error", OK, OK, R, nullptr},
  {36, "APPS", "Error: (Access Denied (5)) attempting to open the current VIEW. Filter and Range Limits ignored.", "View Open Error", OK, OK, R, nullptr},
  {37, "APPS", "This record has been added to the file. Do you want to add another record?", "Record Added", YES | NO, YES, Q, nullptr},
  {38, "APPS", "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes.", "Record Was Not Updated", OK, OK, R, nullptr},
};
// clang-format on

TEST(Warnings, EveryMessageInFull) {
  ErrorQuote err{"Access Denied (5)", 5};
  std::vector<bool> seen(kWarningCount + 1, false);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.number);
    WarningMessage m;
    ASSERT_TRUE(BuildWarning(row.number, std::string(row.first) + "   ", "1 and 9  ", err, &m));
    EXPECT_EQ(m.text, row.text);
    EXPECT_EQ(m.caption, row.caption);
    EXPECT_EQ(m.buttons, row.buttons);
    EXPECT_EQ(m.default_button, row.default_button);
    EXPECT_EQ(m.icon, row.icon);
    EXPECT_EQ(m.halt_text == nullptr ? std::string("-") : m.halt_text,
              row.halt == nullptr ? "-" : row.halt);
    seen[row.number] = true;
  }
  for (int n = 1; n <= kWarningCount; ++n) EXPECT_TRUE(seen[n]) << n;
  WarningMessage m;
  EXPECT_FALSE(BuildWarning(0, "", "", err, &m));
  EXPECT_FALSE(BuildWarning(39, "", "", err, &m));
}

TEST(Warnings, MessageFifteenSaysChangedByAnotherStationForCodesZeroAnd89) {
  for (int32_t code : {kor::kErrNone, kor::kErrRecordChangedByAnotherStation}) {
    WarningMessage m;
    ASSERT_TRUE(BuildWarning(15, "APPS", "", ErrorQuote{"x (1)", code}, &m));
    EXPECT_EQ(m.text, "This record was changed by another station.");
  }
}

// Records what would be shown and the end of the program.
class RecordingSink : public WarningSink {
 public:
  uint32_t answer = 0;
  std::vector<WarningMessage> shown;
  struct Ended {};
  uint32_t Show(const WarningMessage& m) override {
    shown.push_back(m);
    return answer != 0 ? answer : m.default_button;
  }
  [[noreturn]] void End(int32_t code, const char* text) override {
    exit_code = code;
    halt_text = text;
    throw Ended{};
  }
  int32_t exit_code = -1;
  std::string halt_text;
};

TEST(Warnings, ErrorTextComesFromTheErrorStateOrTheSavedErrorOnce) {
  kor::ClearError();
  kor::PostError(kor::kErrFileNotFound);
  RecordingSink sink;
  StandardWarning(sink, 30, "APPS");
  EXPECT_EQ(sink.shown.back().text, "File (APPS) could not be opened.  Error: File Not Found (2).");

  // A saved error survives later runtime calls and is reported once.
  kor::PostError(kor::kErrFileIsAlreadyLocked);
  SaveCurrentError();
  kor::ClearError();
  StandardWarning(sink, 30, "APPS");
  EXPECT_EQ(sink.shown.back().text,
            "File (APPS) could not be opened.  Error: File Is Already Locked (32).");
  StandardWarning(sink, 30, "APPS");
  EXPECT_EQ(sink.shown.back().text, "File (APPS) could not be opened.  Error:  (0).");

  // 90: the operating system's error text and code, not the generic text.
  kor::PostError(kor::kErrFileSystemError);
  kor::SetDriverError("112", "There is not enough space on the disk.");
  StandardWarning(sink, 30, "APPS");
  EXPECT_EQ(sink.shown.back().text,
            "File (APPS) could not be opened.  Error: There is not enough space on the disk. "
            "(112).");
  kor::ClearError();
}

TEST(Warnings, FatalMessagesEndWithExitCodeOneAndTheirText) {
  kor::ClearError();
  RecordingSink sink;
  EXPECT_THROW(StandardWarning(sink, 4, "APPS"), RecordingSink::Ended);
  EXPECT_EQ(sink.exit_code, 1);
  EXPECT_EQ(sink.halt_text, "File Creation Error!");

  RecordingSink yes;
  EXPECT_EQ(StandardWarning(yes, 2, "APPS"), kButtonYes);  // Yes goes on
  RecordingSink no;
  no.answer = kButtonNo;
  EXPECT_THROW(StandardWarning(no, 2, "APPS"), RecordingSink::Ended);
  EXPECT_EQ(no.halt_text, "Invalid Key!");

  RecordingSink none;
  EXPECT_EQ(StandardWarning(none, 99, "APPS"), 0u);
  EXPECT_TRUE(none.shown.empty());
}

}  // namespace
}  // namespace mxb
