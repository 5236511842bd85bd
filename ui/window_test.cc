// Opening and closing real windows from the test resources: the per-window
// class, the controls' identifiers and field numbers, the thread's window
// stack, the errors 535 and 537 and the closing order.
#include "ui/window.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "ui/library_state.h"
#include "ui/thread_state.h"
#include "ui/window_test_support.h"

namespace kor {
namespace {

using testing::kTestModule;

TEST(Window, OpensWithItsTitleClassAndControls) {
  Window w;
  char name[20] = {};
  int16_t four = 0;
  void* addresses[] = {name, &four, nullptr};
  w.Declare(kTestModule, "t$main", addresses);  // labels compare without case
  ASSERT_TRUE(w.Open());
  char title[64] = {};
  GetWindowTextA(w.handle(), title, sizeof title);
  EXPECT_STREQ(title, "Event Test");
  char cls[64] = {};
  GetClassNameA(w.handle(), cls, sizeof cls);
  std::string class_name = cls;
  EXPECT_EQ(class_name.rfind("KorWin", 0), 0u);
  EXPECT_NE(class_name.find("Class"), std::string::npos);
  EXPECT_TRUE(testing::ClassRegistered(class_name));
  // Every control's child window is field + 16384 and names its control.
  for (int32_t field = 1; field <= 8; ++field) {
    Control* c = w.ControlOf(field);
    ASSERT_NE(c, nullptr) << field;
    ASSERT_NE(c->handle(), nullptr) << field;
    EXPECT_EQ(GetDlgCtrlID(c->handle()), field + 16384);
    EXPECT_EQ(GetDlgItem(w.handle(), field + 16384), c->handle());
    EXPECT_EQ(w.ControlByHandle(c->handle()), c);
  }
  EXPECT_EQ(w.ControlOf(0), nullptr);
  EXPECT_EQ(w.ControlOf(9), nullptr);
  EXPECT_EQ(FIRSTFIELD(), 1);
  EXPECT_EQ(LASTFIELD(), 8);
  EXPECT_STREQ(ControlNameOfField(1), "ONE");
  EXPECT_STREQ(ControlNameOfField(2), "NAME");
  EXPECT_EQ(ControlNameOfField(3), nullptr);
  // The button inside the group sits in the group.
  EXPECT_EQ(w.ControlOf(6)->group(), w.ControlOf(5));
  w.Close();
  EXPECT_FALSE(w.is_open());
  EXPECT_FALSE(testing::ClassRegistered(class_name));
  EXPECT_EQ(TopWindow(), nullptr);
}

TEST(Window, EachOpeningRegistersAClassOfItsOwn) {
  Window a, b;
  a.Declare(kTestModule, "T$EMPTY", nullptr);
  b.Declare(kTestModule, "T$EMPTY", nullptr);
  ASSERT_TRUE(a.Open());
  ASSERT_TRUE(b.Open());
  EXPECT_NE(a.state().class_name, b.state().class_name);
  std::string first = a.state().class_name;
  a.Close();  // closes b first, then a
  EXPECT_FALSE(b.is_open());
  EXPECT_FALSE(testing::ClassRegistered(first));
  // The object opens again, under a new class.
  ASSERT_TRUE(a.Open());
  EXPECT_NE(a.state().class_name, first);
  a.Close();
}

TEST(Window, OpeningAnOpenWindowPosts535AndKeepsIt) {
  Window w;
  w.Declare(kTestModule, "T$EMPTY", nullptr);
  ASSERT_TRUE(w.Open());
  HWND first = w.handle();
  EXPECT_FALSE(w.Open());
  EXPECT_EQ(ERRORCODE(), kErrWindowAlreadyOpen);
  EXPECT_EQ(w.handle(), first);
  EXPECT_TRUE(IsWindow(first));
  w.Close();
  ClearError();
}

TEST(Window, TheThreadStackNamesTheTopWindowAndItsParent) {
  Window main, child;
  main.Declare(kTestModule, "T$EMPTY", nullptr);
  child.Declare(kTestModule, "T$CHILD", nullptr);
  ASSERT_TRUE(main.Open());
  EXPECT_EQ(TopWindow(), &main);
  ASSERT_TRUE(child.Open());
  EXPECT_EQ(TopWindow(), &child);
  EXPECT_EQ(child.state().below, &main);
  EXPECT_EQ(child.state().parent, &main);
  ASSERT_EQ(main.state().children.size(), 1u);
  EXPECT_EQ(main.state().children[0], &child);
  // The window below owns the one opened on it.
  EXPECT_EQ(GetWindow(child.handle(), GW_OWNER), main.handle());
  child.Close();
  EXPECT_EQ(TopWindow(), &main);
  EXPECT_TRUE(main.state().children.empty());
  main.Close();
}

TEST(Window, WithoutAWindowTheStateIsEmptyAndAcceptPosts537) {
  ASSERT_EQ(TopWindow(), nullptr);
  EXPECT_EQ(EVENT(), 0);
  EXPECT_EQ(FIELD(), 0);
  EXPECT_EQ(ACCEPTED(), 0);
  EXPECT_EQ(FOCUS(), 0);
  EXPECT_EQ(FIRSTFIELD(), 0);
  bool ran = false;
  ACCEPT([&] { ran = true; });
  EXPECT_EQ(ERRORCODE(), kErrAcceptNeedsWindow);
  EXPECT_FALSE(ran);
  ClearError();
}

TEST(Window, DestroyingAnOpenObjectClosesItsWindow) {
  HWND handle;
  {
    Window w;
    w.Declare(kTestModule, "T$EMPTY", nullptr);
    ASSERT_TRUE(w.Open());
    handle = w.handle();
  }
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(TopWindow(), nullptr);
}

TEST(Window, ClosingAWindowThatIsNotOpenDoesNothing) {
  Window w;
  w.Declare(kTestModule, "T$EMPTY", nullptr);
  w.Close();
  EXPECT_FALSE(w.is_open());
  EXPECT_EQ(TopWindow(), nullptr);
}

}  // namespace
}  // namespace kor
