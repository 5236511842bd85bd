// The ACCEPT loop on a real window: the first event, the values of EVENT,
// FIELD and ACCEPTED, the order of posted events within a pass and from one
// pass to the next, dropped events, breaking out, nested windows and the
// library state the fault report reads.
#include "ui/accept.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/library_state.h"
#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::Recorder;
using testing::RunLoop;
using testing::Seen;

class AcceptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.Declare(testing::kTestModule, "T$MAIN", addresses_);
    ASSERT_TRUE(main_.Open());
  }
  void TearDown() override {
    main_.Close();
    EXPECT_EQ(TopWindow(), nullptr);
  }

  char name_[20] = {};
  int16_t four_ = 0;
  void* addresses_[3] = {name_, &four_, nullptr};
  Window main_;
};

TEST_F(AcceptTest, TheFirstEventIsOpenWindow) {
  Recorder rec([] { return Pass::kBreak; });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  ASSERT_EQ(rec.seen().size(), 1u);
  EXPECT_EQ(rec.seen()[0], (Seen{kEventOpenWindow, 0, 0}));
  EXPECT_TRUE(main_.is_open());  // breaking out leaves the window open
}

TEST_F(AcceptTest, EventsPostedInOnePassComeInOrderWithTheirFields) {
  Recorder rec([] {
    if (EVENT() == kEventOpenWindow) {
      PostEvent(kEventAccepted, 3);
      PostEvent(kEventNewSelection, 3);
      PostEvent(kEventTimer, 0);
      PostEvent(kEventScrollUp, 2);
      PostEvent(kEventAccepted, 1);
    }
    return EVENT() == kEventAccepted && FIELD() == 1 ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  const std::vector<Seen> want = {{kEventOpenWindow, 0, 0},   {kEventAccepted, 3, 3},
                                  {kEventNewSelection, 3, 0}, {kEventTimer, 0, 0},
                                  {kEventScrollUp, 2, 0},     {kEventAccepted, 1, 1}};
  EXPECT_EQ(rec.seen(), want);
}

TEST_F(AcceptTest, AnEventPostedInOnePassIsSeenInTheNext) {
  int passes = 0;
  std::vector<int32_t> fields;
  Recorder rec([&] {
    fields.push_back(FIELD());
    if (++passes > 40) return Pass::kBreak;
    PostEvent(kEventAccepted, passes % 8 + 1);
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  ASSERT_EQ(fields.size(), 41u);
  for (int i = 1; i < 41; ++i) EXPECT_EQ(fields[i], i % 8 + 1) << i;
}

TEST_F(AcceptTest, FieldEventsForMissingFieldsAreDropped) {
  Recorder rec([] {
    if (EVENT() == kEventOpenWindow) {
      PostEvent(kEventAccepted, 99);
      PostEvent(kEventAccepted, 0);
      PostEvent(kEventNewSelection, -1);
      PostEvent(kEventTimer, 5);  // a window event carries no field
    }
    return EVENT() == kEventTimer ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  const std::vector<Seen> want = {{kEventOpenWindow, 0, 0}, {kEventTimer, 0, 0}};
  EXPECT_EQ(rec.seen(), want);
}

TEST_F(AcceptTest, PostingToAThreadWithoutWindowsDoesNothing) {
  Recorder rec([] {
    if (EVENT() == kEventOpenWindow) {
      PostEvent(kEventAccepted, 1, 9999);  // no such thread
      PostEvent(kEventAccepted, 2, CurrentThread()->number);
      PostEvent(kEventAccepted, 3, 0);
    }
    return FIELD() == 3 ? Pass::kBreak : Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, 1, 1}));
  EXPECT_EQ(rec.seen()[1].field, 2);
}

TEST_F(AcceptTest, BreakingLeavesTheRestForTheNextLoop) {
  Recorder rec([] {
    if (EVENT() == kEventOpenWindow) {
      PostEvent(kEventAccepted, 1);
      PostEvent(kEventAccepted, 4);
      return Pass::kContinue;
    }
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  EXPECT_EQ(rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventAccepted}));
  EXPECT_EQ(EVENT(), kEventAccepted);  // the last event stays current
  EXPECT_EQ(FIELD(), 1);
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  EXPECT_EQ(rec.seen().back(), (Seen{kEventAccepted, 4, 4}));
}

TEST_F(AcceptTest, ALoopBodyWithoutAnswerContinues) {
  int passes = 0;
  bool fired = false;
  main_.SetWaitTimer(testing::kWatchdogMs, &testing::Watchdog, &fired);
  PostEvent(kEventAccepted, 1);
  ACCEPT([&] {
    if (Recorder::IsAlong(EVENT())) return;
    if (++passes == 2) main_.Post(kEventCloseWindow, 0);
  });
  EXPECT_FALSE(fired);
  EXPECT_EQ(passes, 3);  // OpenWindow, Accepted, CloseWindow
  EXPECT_FALSE(main_.is_open());
}

TEST_F(AcceptTest, ANestedWindowTakesTheEventsUntilItCloses) {
  Window child;
  Recorder child_rec([&] {
    if (EVENT() == kEventOpenWindow) {
      main_.Post(kEventAccepted, 1);  // waits: main is not the top window
      PostMessageA(child.handle(), WM_CLOSE, 0, 0);
    }
    return Pass::kContinue;
  });
  int32_t event_after_child = -1;
  Recorder main_rec([&] {
    if (EVENT() == kEventOpenWindow) {
      child.Declare(testing::kTestModule, "T$CHILD", nullptr);
      EXPECT_TRUE(child.Open());
      EXPECT_TRUE(RunLoop(child, child_rec.Body()));
      EXPECT_FALSE(child.is_open());
      event_after_child = EVENT();
      return Pass::kContinue;
    }
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(main_, main_rec.Body()));
  EXPECT_EQ(child_rec.Events(), (std::vector<int32_t>{kEventOpenWindow, kEventCloseWindow}));
  EXPECT_EQ(event_after_child, kEventOpenWindow);
  EXPECT_EQ(main_rec.seen().back(), (Seen{kEventAccepted, 1, 1}));
}

TEST_F(AcceptTest, ClosingAParentFromItsChildClosesTheChildFirst) {
  Window child;
  bool child_gone_first = false;
  Recorder child_rec([&] {
    if (EVENT() == kEventOpenWindow) main_.Close();  // both are inside their loops: marked
    return Pass::kContinue;
  });
  Recorder main_rec([&] {
    if (EVENT() == kEventOpenWindow) {
      child.Declare(testing::kTestModule, "T$CHILD", nullptr);
      EXPECT_TRUE(child.Open());
      EXPECT_TRUE(RunLoop(child, child_rec.Body()));
      child_gone_first = !child.is_open() && main_.is_open();
    }
    return Pass::kContinue;
  });
  ASSERT_TRUE(RunLoop(main_, main_rec.Body()));
  EXPECT_TRUE(child_gone_first);
  EXPECT_FALSE(main_.is_open());
  EXPECT_EQ(main_rec.Events(), (std::vector<int32_t>{kEventOpenWindow}));
}

TEST_F(AcceptTest, TheLibraryStateNamesTheEventAndTheControls) {
  WindowLibraryState state;
  char event[64], field[64], last[64], none[64];
  LibrarySnapshot snapshot{};
  Recorder rec([&] {
    if (EVENT() == kEventOpenWindow) PostEvent(kEventAccepted, 1);
    if (EVENT() != kEventAccepted) return Pass::kContinue;
    state = CurrentLibraryState();
    FormatLibraryEvent(event, sizeof event, state.event);
    FormatLibraryField(field, sizeof field, state.field);
    FormatLibraryField(last, sizeof last, state.last_field);
    FormatLibraryField(none, sizeof none, state.focus);
    // What the fault report prints, through the provider start-up installs.
    SetLibraryStateProvider(&ProvideLibraryState);
    TakeLibrarySnapshot();
    snapshot = CurrentLibrarySnapshot();
    SetLibraryStateProvider(nullptr);
    return Pass::kBreak;
  });
  ASSERT_TRUE(RunLoop(main_, rec.Body()));
  EXPECT_EQ(state.event, 1);
  EXPECT_EQ(state.field, 1);
  EXPECT_EQ(state.accepted, 1);
  EXPECT_EQ(state.first_field, 1);
  EXPECT_EQ(state.last_field, 8);
  EXPECT_STREQ(event, "EVENT:Accepted (1 (01H))");
  EXPECT_STREQ(field, "ONE (1 (01H))");
  EXPECT_STREQ(last, "8 (08H)");
  EXPECT_STREQ(none, state.focus == 0 ? "0" : none);
  EXPECT_STREQ(snapshot.event, "EVENT:Accepted (1 (01H))");
  EXPECT_STREQ(snapshot.field, "ONE (1 (01H))");
  EXPECT_STREQ(snapshot.accepted, "ONE (1 (01H))");
  EXPECT_STREQ(snapshot.first_field, "ONE (1 (01H))");
  EXPECT_STREQ(snapshot.last_field, "8 (08H)");
}

TEST(LibraryStateText, FormsOfTheValues) {
  struct Case {
    int32_t value;
    const char* name;
    const char* want;
  };
  const Case cases[] = {
      {0, nullptr, "0"},
      {0, "ONE", "0"},
      {3, nullptr, "3 (03H)"},
      {3, "", "3 (03H)"},
      {3, "ONE", "ONE (3 (03H))"},
      {257, nullptr, "257 (0101H)"},
      {-1, nullptr, "-1 (0FFFFFFFFH)"},
  };
  for (const Case& c : cases) {
    char out[64];
    FormatLibraryValue(out, sizeof out, c.value, c.name);
    EXPECT_STREQ(out, c.want) << c.value;
  }
  char out[64];
  FormatLibraryEvent(out, sizeof out, 513);
  EXPECT_STREQ(out, "EVENT:CloseWindow (513 (0201H))");
  FormatLibraryEvent(out, sizeof out, 999);
  EXPECT_STREQ(out, "999 (03E7H)");
  char small[8];
  FormatLibraryEvent(small, sizeof small, 1);
  EXPECT_STREQ(small, "EVENT:A");  // cut, never overrun
  WindowLibraryState none = CurrentLibraryState();
  EXPECT_EQ(none.event, 0);
  EXPECT_EQ(none.last_field, 0);
}

}  // namespace
}  // namespace kor
