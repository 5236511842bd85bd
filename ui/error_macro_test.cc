// Window code sees the Windows headers' ERROR constant and the runtime's
// ERROR() function in one translation unit; both must stay usable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/builtins/error_functions.h"
#include "runtime/core/error_state.h"
#include "runtime/values/string_stack.h"

TEST(ErrorMacro, FunctionAndWindowsConstantCoexist) {
  kor::PostError(2);
  kor::PushErrorText();
  std::string text = kor::PopToStdString();
  EXPECT_EQ(text.substr(0, 14), "File Not Found");
  EXPECT_EQ(text.size(), 80u);
  // The header gave the Windows constant back after declaring the function.
  EXPECT_EQ(ERROR, 0);
  kor::ClearError();
}
