// The HALT statement takes its message off the string stack.
#include "runtime/builtins/halt.h"

#include <gtest/gtest.h>

#include "runtime/values/string_stack.h"

namespace kor {
namespace {

#if !defined(_WIN32)
// On Windows the box is real and the black-box tests answer it; here the
// system box writes "[caption] text" to standard error.
TEST(HaltDeathTest, ShowsTheTextFromTheStackAndExitsWithItsCode) {
  EXPECT_EXIT(
      {
        PushCString("Invalid File!");
        HALT(7, 0);
      },
      testing::ExitedWithCode(7), "\\[Halt\\] Invalid File!");
}

TEST(HaltDeathTest, NoMessageShowsNothing) {
  EXPECT_EXIT(
      {
        PushCString("Never shown");
        HALT(9, 1);
      },
      testing::ExitedWithCode(9), "^$");
}
#endif

}  // namespace
}  // namespace kor
