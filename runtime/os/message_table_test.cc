// The compiled message table is ordered (its lookup relies on it) and complete.
#include "runtime/os/message_table.h"

#include <gtest/gtest.h>

namespace kor {
namespace {

TEST(MessageTable, AscendingAndLookedUpByCode) {
  uint32_t previous = 0;
#define MXB_MESSAGE(id, text) \
  EXPECT_LT(previous, static_cast<uint32_t>(id)); \
  previous = id; \
  EXPECT_STREQ(FindCompiledMessage(id), text);
#include "resources/messages.inc"
#undef MXB_MESSAGE
  EXPECT_EQ(FindCompiledMessage(1), nullptr);
  EXPECT_EQ(FindCompiledMessage(314), nullptr);
  EXPECT_EQ(FindCompiledMessage(100000), nullptr);
}

}  // namespace
}  // namespace kor
