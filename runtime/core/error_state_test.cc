// The error state: posting, texts, overrides, the driver pair and the save stack.
#include "runtime/core/error_state.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/os/ascii.h"
#include "runtime/os/os.h"

namespace kor {
namespace {

// The state's texts as the language reads them: all 80 characters of the
// error text, the driver's pair without trailing blanks (zero bytes of a
// field never set count as blanks).
std::string Field(const char* field, size_t size) {
  std::string s(field, size);
  for (char& c : s)
    if (c == '\0') c = ' ';
  return s;
}
std::string ErrorString() {
  const ErrorStateRecord& state = CurrentErrorState();
  return Field(state.text, sizeof state.text);
}
std::string DriverErrorCodeString() {
  const ErrorStateRecord& state = CurrentErrorState();
  return std::string(
      TrimTrailingBlanks(Field(state.driver_code_text, sizeof state.driver_code_text)));
}
std::string DriverErrorString() {
  const ErrorStateRecord& state = CurrentErrorState();
  return std::string(TrimTrailingBlanks(Field(state.driver_text, sizeof state.driver_text)));
}

class ErrorStateTest : public testing::Test {
 protected:
  void SetUp() override { ClearError(); }
};

TEST_F(ErrorStateTest, PostErrorZeroTakesTheSystemError) {
  OsSetLastError(32);
  PostError(0);
  EXPECT_EQ(ERRORCODE(), 332);
  EXPECT_EQ(ErrorSystemCode(), 32);
  EXPECT_EQ(ErrorString(), std::string("Sharing Violation") + std::string(80 - 17, ' '));
}

TEST_F(ErrorStateTest, CodeWithoutTextGetsUnknownErrorForm) {
  OsSetLastError(183);
  PostError(0);
  EXPECT_EQ(ERRORCODE(), 483);
  EXPECT_EQ(ErrorString().substr(0, 26), "Unknown Error Posted : 483");
  EXPECT_STREQ(ErrorText(314), "Unknown Error Posted : 314");
  EXPECT_STREQ(ErrorText(0), "Unknown Error Posted");
}

TEST_F(ErrorStateTest, TableTextsIncludingTrailingBlanks) {
  EXPECT_STREQ(ErrorText(35), "Record Not Found");
  EXPECT_STREQ(ErrorText(78), "Invalid Number Of Parameters ");
  EXPECT_STREQ(ErrorText(350), "Not Supported ");
  EXPECT_STREQ(ErrorText(403), "Termination caused by signal.  (User break or Floating point)");
  EXPECT_STREQ(ErrorText(605), "DDE transaction timed out");
  EXPECT_STREQ(ErrorText(802), "Mismatched PUSHSCOPE/POPSCOPE");
}

TEST_F(ErrorStateTest, OverrideReplacesTextAndLeadingBlanksAreSkipped) {
  SetMessageText(35, "   Nothing here");
  EXPECT_STREQ(ErrorText(35), "   Nothing here");
  PostError(35);
  EXPECT_EQ(ErrorString().substr(0, 13), "Nothing here ");
  SetMessageText(35, "Gone");  // replaces the node's text
  EXPECT_STREQ(FindMessageText(35), "Gone");
  SetMessageText(35, "Record Not Found");
}

TEST_F(ErrorStateTest, LongTextIsCutTo79Characters) {
  std::string longer(120, 'x');
  SetMessageText(700, longer.c_str());
  PostError(700);
  EXPECT_EQ(ErrorString(), std::string(79, 'x') + " ");
  EXPECT_EQ(std::string(ErrorText(700)).size(), 120u);
}

TEST_F(ErrorStateTest, DriverPairTrimmedAndClearedByClearError) {
  SetDriverError("1234", "Disk on fire   ");
  EXPECT_EQ(DriverErrorCodeString(), "1234");
  EXPECT_EQ(DriverErrorString(), "Disk on fire");
  SetDriverError("77", nullptr);
  EXPECT_EQ(DriverErrorString(), "File System Error : 77");
  EXPECT_EQ(ERRORCODE(), 0);  // the driver pair leaves ERRORCODE alone
  ClearError();
  EXPECT_EQ(DriverErrorCodeString(), "");
  EXPECT_EQ(DriverErrorString(), "");
}

TEST_F(ErrorStateTest, DriverMessageCutTo254) {
  std::string longer(300, 'm');
  SetDriverError("1", longer.c_str());
  EXPECT_EQ(DriverErrorString(), std::string(254, 'm'));
}

TEST_F(ErrorStateTest, SavesRestoreInLastInFirstOutOrder) {
  PostError(2);
  SaveErrorState();
  PostError(5);
  SetErrorFile(this);
  SaveErrorState();
  PostError(35);
  RestoreErrorState();
  EXPECT_EQ(ERRORCODE(), 5);
  EXPECT_EQ(ErrorFile(), this);
  RestoreErrorState();
  EXPECT_EQ(ERRORCODE(), 2);
  EXPECT_EQ(ErrorFile(), nullptr);
  RestoreErrorState();  // empty stack: nothing happens
  EXPECT_EQ(ERRORCODE(), 2);
}

TEST_F(ErrorStateTest, CopyOutAndIn) {
  PostError(30);
  SetDriverError("9", "nine");
  ErrorStateRecord copy;
  CopyErrorStateOut(&copy);
  ClearError();
  PostError(8);
  CopyErrorStateIn(&copy);
  EXPECT_EQ(ERRORCODE(), 30);
  EXPECT_EQ(ErrorString().substr(0, 15), "Entry Not Found");
  EXPECT_EQ(DriverErrorString(), "nine");
}

TEST_F(ErrorStateTest, PostErrorClearsTheErrorFile) {
  SetErrorFile(this);
  PostError(33);
  EXPECT_EQ(ErrorFile(), nullptr);
}

}  // namespace
}  // namespace kor
