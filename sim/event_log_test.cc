// Tests of the event log: the line format, the escapes, appending.
#include "sim/event_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace sim {
namespace {

TEST(EventLog, EscapesOnlyControlBytesAndPercent) {
  // clang-format off
  const std::pair<std::string, std::string> kCases[] = {
      {"[ExecuteProject(\"C:\\W\\a.app\")]   ", "[ExecuteProject(\"C:\\W\\a.app\")]   "},
      {"a\tb", "a%09b"},
      {"100%", "100%25"},
      {"cr\r\nlf", "cr%0D%0Alf"},
      {std::string("z\0z", 3), "z%00z"},
      {"\x7f\x80\xff", "%7F\x80\xff"},
  };
  // clang-format on
  for (const auto& [in, out] : kCases) EXPECT_EQ(EventLog::Escape(in), out);
}

TEST(EventLog, WritesOneFlushedLinePerEventAndAppends) {
  // Unique per process: several builds run their tests side by side.
  std::string path =
      ::testing::TempDir() + "z9ee_event_log_" + std::to_string(std::random_device()()) + ".log";
  std::remove(path.c_str());
  std::vector<std::string> heard;
  {
    EventLog log;
    ASSERT_TRUE(log.Open(path));
    log.SetListener([&](const std::string& line) { heard.push_back(line); });
    log.Write("execute", 3, "accepted", "[X]  ");
    // Flushed at once: another reader sees the line while the log is open.
    std::ifstream early(path, std::ios::binary);
    std::stringstream seen;
    seen << early.rdbuf();
    EXPECT_EQ(seen.str(), "execute\t3\taccepted\t[X]  \r\n");
  }
  {
    EventLog log;
    ASSERT_TRUE(log.Open(path));
    log.Write("quit", 0, "idle", "");
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str(), "execute\t3\taccepted\t[X]  \r\nquit\t0\tidle\t\r\n");
  EXPECT_EQ(heard, std::vector<std::string>{"execute\t3\taccepted\t[X]  "});
  std::remove(path.c_str());
}

}  // namespace
}  // namespace sim
