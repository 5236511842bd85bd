// Status values as driver results, and through the error state as the
// program sees them after a failed call.
#include "files/velocore/driver_status.h"

#include <gtest/gtest.h>

#include "runtime/core/error_state.h"

namespace kor::vel {
namespace {

std::string Clipped(const char* text, size_t n) {
  std::string s(text, n);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(DriverStatusTest, ChecksBecome90WithTheNumberAndTheText) {
  struct Case {
    Status status;
    const char* file;
    int32_t result;
    const char* code_text;
    const char* message;
  };
  const Case cases[] = {
      {Status{kErrFileSystemError, kCheckRecordEnd, 0}, "DATA.VEL", 90, "1602",
       "Possible data corruption in file"},
      {Status{kErrFileSystemError, kCheckPageSize, 0}, "", 90, "1477",
       "Velocore File Driver Error"},
      {Status::Error(kErrInvalidRecordDeclaration), "DATA.VEL", 47, "", ""},
      {Status::Ok(), "DATA.VEL", 0, "", ""},
  };
  for (const Case& c : cases) {
    DriverOutput out;
    EXPECT_EQ(DriverResult(c.status, c.file, &out), c.result);
    EXPECT_EQ(out.driver_code, c.code_text);
    EXPECT_EQ(out.driver_message, c.message);
  }
  // What the program reads after the frame posts it.
  DriverOutput out;
  PostError(DriverResult(Status{kErrFileSystemError, kCheckRecordEnd, 0}, "DATA.VEL", &out));
  SetDriverError(out.driver_code.c_str(), out.driver_message.c_str());
  const ErrorStateRecord& e = CurrentErrorState();
  EXPECT_EQ(e.code, 90);
  EXPECT_EQ(Clipped(e.text, sizeof e.text), "File System Error");
  EXPECT_EQ(Clipped(e.driver_code_text, sizeof e.driver_code_text), "1602");
  EXPECT_EQ(Clipped(e.driver_text, sizeof e.driver_text), "Possible data corruption in file");
  ClearError();
}

TEST(DriverStatusTest, OperatingSystemFailuresCarryTheSystemText) {
  DriverOutput out;
  EXPECT_EQ(DriverResult(Status::Os(112), "X.VEL", &out), 90);
  EXPECT_EQ(out.os_error_text, ErrorText(kErrOsBase + 112));
  EXPECT_TRUE(out.driver_code.empty());
}

}  // namespace
}  // namespace kor::vel
