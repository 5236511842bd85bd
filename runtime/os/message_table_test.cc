// The compiled message table is ordered (its lookup relies on it) and gives
// the texts the runtime is known to show.
#include "runtime/os/message_table.h"

#include <gtest/gtest.h>

namespace kor {
namespace {

TEST(MessageTable, ListIsInAscendingOrder) {
  uint32_t previous = 0;
  int count = 0;
#define MXB_MESSAGE(id, name, text)               \
  EXPECT_LT(previous, static_cast<uint32_t>(id)); \
  previous = id;                                  \
  ++count;
#include "resources/messages.inc"
#undef MXB_MESSAGE
  EXPECT_EQ(count, 172);
}

TEST(MessageTable, KnownTextsByCode) {
  // Written out by hand, not taken from the list: blanks at the end count.
  const struct {
    uint32_t id;
    const char* text;
  } kRows[] = {
      {2, "File Not Found"},
      {33, "Record Not Available"},
      {78, "Invalid Number Of Parameters "},
      {89, "Record Changed By Another Station"},
      {93, "BUILD Cancelled"},
      {332, "Sharing Violation"},
      {350, "Not Supported "},
      {357, "Adapter/Hardware Failure"},
      {403, "Termination caused by signal.  (User break or Floating point)"},
      {501, "Internal error 01"},
      {526, "Unable to open APPLICATION (APPLICATION already active)"},
      {537, "ACCEPT loop requires a window"},
      {601, "Invalid DDE channel"},
      {605, "DDE transaction timed out"},
      {802, "Mismatched PUSHSCOPE/POPSCOPE"},
  };
  for (const auto& row : kRows) EXPECT_STREQ(FindCompiledMessage(row.id), row.text) << row.id;
}

TEST(MessageTable, CodesWithoutTextGiveNull) {
  for (uint32_t id : {0u, 1u, 6u, 94u, 314u, 392u, 516u, 606u, 803u, 100000u})
    EXPECT_EQ(FindCompiledMessage(id), nullptr) << id;
}

}  // namespace
}  // namespace kor
