// The library snapshot: each number's three forms, the cut at 59
// characters, the state without a provider and through one, and the error.
#include "runtime/core/library_snapshot.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/error_state.h"

namespace kor {
namespace {

std::string Formatted(int32_t number, const char* name) {
  char out[kSnapshotTextSize];
  FormatLibraryValue(LibraryStateValue{number, name}, out);
  return out;
}

TEST(LibrarySnapshot, ANumberIsZeroNamedOrBare) {
  struct {
    int32_t number;
    const char* name;
    const char* expected;
  } const cases[] = {
      {0, nullptr, "0"},
      {0, "EVENT:Accepted", "0"},
      {1, "EVENT:Accepted", "EVENT:Accepted (1 (01H))"},
      {513, "EVENT:CloseWindow", "EVENT:CloseWindow (513 (0201H))"},
      {5121, "EVENT:Accepted", "EVENT:Accepted (5121 (01401H))"},
      {3, nullptr, "3 (03H)"},
      {3, "", "3 (03H)"},
      {255, "?Name", "?Name (255 (0FFH))"},
      {-1, nullptr, "-1 (0FFFFFFFFH)"},
      {2147483647, nullptr, "2147483647 (07FFFFFFFH)"},
      {-2147483647 - 1, nullptr, "-2147483648 (080000000H)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Formatted(c.number, c.name), c.expected);
}

TEST(LibrarySnapshot, ATextIsCutAt59Characters) {
  std::string name(70, 'n');
  std::string text = Formatted(7, name.c_str());
  EXPECT_EQ(text, std::string(59, 'n'));
  std::string name56(56, 'x');
  EXPECT_EQ(Formatted(7, name56.c_str()), name56 + " (7");
}

class LibrarySnapshotTest : public testing::Test {
 protected:
  void SetUp() override { ClearError(); }
  void TearDown() override {
    SetLibraryStateProvider(nullptr);
    ClearError();
  }
};

TEST_F(LibrarySnapshotTest, WithoutAProviderEveryNumberIsZero) {
  SetLibraryStateProvider(nullptr);
  TakeLibrarySnapshot();
  const LibrarySnapshot& s = CurrentLibrarySnapshot();
  for (const char* text : {s.event, s.field, s.focus, s.accepted, s.first_field, s.last_field})
    EXPECT_STREQ(text, "0");
  EXPECT_EQ(s.error_code, 0);
  EXPECT_EQ(std::string(s.error), std::string(59, ' '));  // a cleared state is blank
}

TEST_F(LibrarySnapshotTest, AProviderGivesNamesAndBareNumbers) {
  SetLibraryStateProvider([](LibraryState* state) {
    state->event = {1, "EVENT:Accepted"};
    state->field = {3, "?OkButton"};
    state->focus = {4, nullptr};
    state->accepted = {3, "?OkButton"};
    state->first_field = {1, "?List"};
    state->last_field = {0, "?Nothing"};
  });
  TakeLibrarySnapshot();
  const LibrarySnapshot& s = CurrentLibrarySnapshot();
  EXPECT_STREQ(s.event, "EVENT:Accepted (1 (01H))");
  EXPECT_STREQ(s.field, "?OkButton (3 (03H))");
  EXPECT_STREQ(s.focus, "4 (04H)");
  EXPECT_STREQ(s.accepted, "?OkButton (3 (03H))");
  EXPECT_STREQ(s.first_field, "?List (1 (01H))");
  EXPECT_STREQ(s.last_field, "0");
}

TEST_F(LibrarySnapshotTest, TheErrorIsTheCodeAndTheFirst59CharactersOfItsText) {
  PostError(5);
  TakeLibrarySnapshot();
  const LibrarySnapshot& s = CurrentLibrarySnapshot();
  EXPECT_EQ(s.error_code, 5);
  EXPECT_EQ(std::string(s.error), "Access Denied" + std::string(59 - 13, ' '));
}

}  // namespace
}  // namespace kor
