// GETINI on the string stack: argument order and one result entry.
#include "runtime/builtins/getini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "runtime/values/string_stack.h"

namespace kor {
namespace {

TEST(GetIniTest, TakesFileDefaultEntryAndSectionOnTopAndPushesTheValue) {
  std::string path = testing::TempDir() + "getini_stack_test.ini";
  std::ofstream(path, std::ios::binary) << "[Paths]\nData = C:\\DATA\n";
  int depth = StringStackDepth();
  PushCopy(path);
  PushCopy("none");
  PushCopy("Data");
  PushCopy("Paths");
  GETINI();
  EXPECT_EQ(StringStackDepth(), depth + 1);
  EXPECT_EQ(PopToStdString(), "C:\\DATA");
  PushCopy(path);
  PushCopy("none");
  PushCopy("Missing");
  PushCopy("Paths");
  GETINI();
  EXPECT_EQ(PopToStdString(), "none");
  std::remove(path.c_str());
}

}  // namespace
}  // namespace kor
