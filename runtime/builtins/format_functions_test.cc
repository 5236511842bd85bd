// Tests of FORMAT, DEFORMAT and AGE through the string stack.
#include <gtest/gtest.h>

#include "runtime/builtins/format_functions.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/values/string_stack.h"

namespace kor {
namespace {

TEST(FormatOnStack, FormatAndDeformat) {
  int depth = StringStackDepth();
  PushCString("1234.5");
  PushCString("@N10.2");
  FORMAT();
  EXPECT_EQ(PopToStdString(), "  1,234.50");
  PushCString("@D6-");
  FormatLongOnStack(DateFromParts(12, 25, 2026));
  EXPECT_EQ(PopToStdString(), "25-12-2026");
  PushCString("@N-8.1");
  FormatRealOnStack(-2.25);
  EXPECT_EQ(PopToStdString(), "    -2.3");
  PushCString("(1,234.50)");
  PushCString("@N(10.2)");
  DEFORMAT();
  EXPECT_EQ(PopToStdString(), "-1234.5");
  // Unreadable text comes back as it was typed.
  PushCString("31/02/2026");
  PushCString("@D6");
  DEFORMAT();
  EXPECT_EQ(PopToStdString(), "31/02/2026");
  // A picture held in a blank-padded STRING field.
  PushCString("abcdef");
  PushCString("@S3      ");
  FORMAT();
  EXPECT_EQ(PopToStdString(), "abc");
  EXPECT_EQ(StringStackDepth(), depth);
}

TEST(FormatOnStack, Age) {
  int32_t base = DateFromParts(3, 1, 2026);
  AGE(base - 10, base);
  EXPECT_EQ(PopToStdString(), "10 DAYS");
  AGE(DateFromParts(3, 1, 2021), base);
  EXPECT_EQ(PopToStdString(), "5 YRS");
  AGE(0, base);
  EXPECT_EQ(PopToStdString(), std::string(255, '*'));
}

}  // namespace
}  // namespace kor
