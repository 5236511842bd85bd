// The message-name table: its size and order, every event number named once
// with its system name, and the fallback form of unknown codes.
#include "ui/events.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kor {
namespace {

TEST(MessageNames, TableHoldsTwoHundredFiftyDistinctCodes) {
  const MessageNameEntry* table = MessageNameTable();
  std::set<int32_t> codes;
  std::set<std::string> names;
  for (int i = 0; i < kMessageNameCount; ++i) {
    codes.insert(table[i].code);
    names.insert(table[i].name);
  }
  EXPECT_EQ(codes.size(), 250u);
  EXPECT_EQ(names.size(), 250u);
  // The DDE messages first, then events and queries, then the platform's.
  EXPECT_STREQ(table[0].name, "WM_DDE_INITIATE");
  EXPECT_STREQ(table[8].name, "WM_DDE_EXECUTE");
  EXPECT_STREQ(FindMessageName(0), "WM_NULL");
  EXPECT_STREQ(FindMessageName(1), "WM_CREATE");
  EXPECT_STREQ(table[kMessageNameCount - 1].name, "WM_VBXEVENT");
}

TEST(MessageNames, EveryEventAndQueryHasItsName) {
  struct Case {
    int32_t number;
    const char* name;
  };
  const Case cases[] = {
      {1, "EVENT:Accepted"},
      {2, "EVENT:NewSelection"},
      {14, "EVENT:VBXevent"},
      {16, "EVENT:PreAlert"},
      {19, "EVENT:Drop"},
      {30, "EVENT:ColumnResize"},
      {257, "EVENT:Selected"},
      {513, "EVENT:CloseWindow"},
      {514, "EVENT:CloseDown"},
      {515, "EVENT:OpenWindow"},
      {523, "EVENT:Timer"},
      {524, "EVENT:DDErequest"},
      {529, "EVENT:DDEclosed"},
      {544, "EVENT:Move"},
      {549, "EVENT:Completed"},
      {561, "EVENT:Sized"},
      {564, "EVENT:Iconized"},
      {578, "EVENT:BuildDone"},
      {4097, "QUERY_SETUSE"},
      {4106, "QUERY_PFIELD"},
      {4108, "QUERY_COLOR"},
      {4112, "QUERY_NOTIFY"},
      {4124, "QUERY_CONTINUETHREAD"},
      {4125, "QUERY_EDITDONE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MessageName(EventCode(c.number)), c.name) << c.number;
    if (c.number < 4097) {
      EXPECT_STREQ(EventName(c.number), c.name);
    }
  }
  // Every number from 1 to 30 names an event of its own.
  std::set<std::string> field_events;
  for (int32_t n = 1; n <= 30; ++n) {
    const char* name = EventName(n);
    ASSERT_NE(name, nullptr) << n;
    EXPECT_EQ(std::string(name).rfind("EVENT:", 0), 0u);
    field_events.insert(name);
  }
  EXPECT_EQ(field_events.size(), 30u);
}

TEST(MessageNames, UnknownCodesPrintInHexadecimal) {
  EXPECT_EQ(MessageName(0x1234), "0x1234");
  EXPECT_EQ(MessageName(5 + 0x3FF0), "0x3ff5");
  EXPECT_EQ(MessageName(0x0004), "0x0004");
  EXPECT_EQ(EventName(0), nullptr);
  EXPECT_EQ(EventName(519), nullptr);   // a gap between the window events
  EXPECT_EQ(EventName(4098), nullptr);  // queries are no events
}

TEST(MessageNames, FieldAndWindowEventsAreTold) {
  EXPECT_TRUE(IsFieldEvent(1));
  EXPECT_TRUE(IsFieldEvent(30));
  EXPECT_TRUE(IsFieldEvent(257));
  EXPECT_FALSE(IsFieldEvent(31));
  EXPECT_FALSE(IsFieldEvent(513));
  EXPECT_TRUE(IsWindowEvent(513));
  EXPECT_FALSE(IsWindowEvent(4097));
}

}  // namespace
}  // namespace kor
