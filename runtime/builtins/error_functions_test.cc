// ERROR(), DRIVERERROR() and DRIVERERRORCODE() hand the error state's texts
// over on the string stack.
#include "runtime/builtins/error_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

class ErrorFunctionsTest : public testing::Test {
 protected:
  void SetUp() override { ClearError(); }
  void TearDown() override {
    ClearError();
    EXPECT_EQ(StringStackDepth(), 0);
  }
};

TEST_F(ErrorFunctionsTest, ErrorIsAllEightyCharactersInAnOwnedEntry) {
  PostError(2);
  ERROR();
  EXPECT_EQ(StringStackTop()->kind, kStringOwned);
  std::string e = PopToStdString();
  ASSERT_EQ(e.size(), 80u);
  EXPECT_EQ(e.substr(0, 14), "File Not Found");
  EXPECT_EQ(e.find_first_not_of(' ', 14), std::string::npos);
}

TEST_F(ErrorFunctionsTest, NeverPostedStateReadsAsBlanks) {
  ERROR();
  EXPECT_EQ(PopToStdString(), std::string(80, ' '));
  DRIVERERROR();
  EXPECT_EQ(PopToStdString(), "");
  DRIVERERRORCODE();
  EXPECT_EQ(PopToStdString(), "");
}

TEST_F(ErrorFunctionsTest, DriverPairWithoutTrailingBlanks) {
  SetDriverError("1234  ", "Disk on fire   ");
  DRIVERERRORCODE();
  EXPECT_EQ(PopToStdString(), "1234");
  DRIVERERROR();
  EXPECT_EQ(PopToStdString(), "Disk on fire");
}

}  // namespace
}  // namespace kor
