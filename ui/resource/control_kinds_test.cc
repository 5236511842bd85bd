// Tests of the creation table: its 26 slots start empty, only slot codes can
// be filled, and creating a window's controls follows the chain depth first,
// skipping records whose slot is empty together with their children.
#include "ui/resource/control_kinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kor {
namespace {

std::vector<std::string> g_log;

void* Record(const ControlCreation& c) {
  std::string parent =
      c.parent == nullptr ? "-" : std::to_string(static_cast<ControlRecord*>(c.parent)->field);
  g_log.push_back(std::to_string(c.record->field) + "<" + parent);
  return const_cast<ControlRecord*>(c.record);  // the "object" is its record
}
const ControlKind kLogging = {"Logging", &Record};

class ControlKinds : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearControlKinds();
    g_log.clear();
  }
  void TearDown() override { ClearControlKinds(); }
};

ControlRecord Make(uint8_t type, int32_t field, std::vector<ControlRecord> children = {}) {
  ControlRecord r;
  r.type = type;
  r.field = field;
  r.children = std::move(children);
  return r;
}

TEST_F(ControlKinds, TheTableHas26SlotsThatStartEmpty) {
  const uint8_t codes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                           14, 15, 16, 17, 18, 21, 32, 33, 34, 35, 37, 38, 39};
  static_assert(sizeof codes == kControlSlotCount);
  std::vector<int> seen;
  for (uint8_t code : codes) {
    int slot = ControlSlotOf(code);
    ASSERT_GE(slot, 0) << int(code);
    EXPECT_EQ(ControlKindOf(code), nullptr);
    seen.push_back(slot);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());  // one slot each
  for (int code : {0, 19, 20, 22, 25, 31, 36, 40, 255}) {
    EXPECT_EQ(ControlSlotOf(static_cast<uint8_t>(code)), -1) << code;
    EXPECT_FALSE(RegisterControlKind(static_cast<uint8_t>(code), &kLogging)) << code;
  }
}

TEST_F(ControlKinds, RegisteringFillsOneSlot) {
  ASSERT_TRUE(RegisterControlKind(kRecButton, &kLogging));
  EXPECT_EQ(ControlKindOf(kRecButton), &kLogging);
  EXPECT_EQ(ControlKindOf(kRecPrompt), nullptr);
  ASSERT_TRUE(RegisterControlKind(kRecButton, nullptr));
  EXPECT_EQ(ControlKindOf(kRecButton), nullptr);
}

TEST_F(ControlKinds, CreationFollowsTheChainDepthFirst) {
  for (uint8_t t : {kRecButton, kRecGroup, kRecEntry, kRecList}) RegisterControlKind(t, &kLogging);
  std::vector<ControlRecord> records = {
      Make(kRecList, 1),
      Make(kRecGroup, 2, {Make(kRecButton, 3), Make(kRecGroup, 4, {Make(kRecEntry, 5)})}),
      Make(kRecPrompt, 6),                         // empty slot: skipped
      Make(4, 7),                                  // a kind not in the program
      Make(200, 8),                                // a code without a slot
      Make(kRecCheck, 9, {Make(kRecButton, 10)}),  // skipped with its child
      Make(kRecButton, 11),
  };
  ResourceBuffer buffer;
  EXPECT_EQ(CreateControls(buffer, records, nullptr, nullptr), 6);
  EXPECT_EQ(g_log, (std::vector<std::string>{"1<-", "2<-", "3<2", "4<2", "5<4", "11<-"}));
}

TEST_F(ControlKinds, PlaceholdersHoldTheSlotAndCreateNothing) {
  for (uint8_t t : {kRecString, kRecBoundString, kRecButton, kRecList, kRecSpin, kRecImage}) {
    const ControlKind* kind = PlaceholderControlKind(t);
    ASSERT_NE(kind, nullptr);
    ASSERT_TRUE(RegisterControlKind(t, kind));
    ControlRecord r = Make(t, 1);
    EXPECT_EQ(kind->create({nullptr, &r, nullptr, nullptr}), nullptr);
  }
  EXPECT_STREQ(ControlKindOf(kRecButton)->name, "KorButton");
  EXPECT_STREQ(ControlKindOf(kRecString)->name, "KorString");
  EXPECT_STREQ(ControlKindOf(kRecBoundString)->name, "KorString");
  EXPECT_STREQ(ControlKindOf(kRecList)->name, "KorList");
  EXPECT_STREQ(ControlKindOf(kRecSpin)->name, "KorEdit");
  EXPECT_STREQ(ControlKindOf(kRecImage)->name, "KorGraphic");
  EXPECT_EQ(PlaceholderControlKind(200), nullptr);
}

TEST_F(ControlKinds, PlaceholdersFillOnlyEmptySlots) {
  ASSERT_TRUE(RegisterControlKind(kRecButton, &kLogging));
  const uint8_t kinds[] = {kRecButton, kRecPrompt, kRecList, kRecPrompt, 200};
  EXPECT_EQ(RegisterPlaceholderKinds(kinds, sizeof kinds), 2);
  EXPECT_EQ(ControlKindOf(kRecButton), &kLogging);  // a real kind stays
  EXPECT_STREQ(ControlKindOf(kRecPrompt)->name, "KorPrompt");
  EXPECT_STREQ(ControlKindOf(kRecList)->name, "KorList");
  EXPECT_EQ(ControlKindOf(kRecEntry), nullptr);
}

}  // namespace
}  // namespace kor
