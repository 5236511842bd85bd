// The pop-up menu: entries, separators, disabled entries and numbering, and
// real menus driven from a second thread (a mnemonic chooses, Escape
// dismisses).
#include "ui/controls/popup_menu.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "runtime/values/string_stack.h"

namespace kor {
namespace {

TEST(PopupMenuTest, EntriesAreNumberedWithoutSeparatorsAndTildeDisables) {
  std::vector<PopupItem> items = ParsePopupMenu("&Insert|~Chan&ge|&Delete|-|&Select   ");
  ASSERT_EQ(items.size(), 5u);
  struct Want {
    const char* label;
    bool enabled;
    bool separator;
    int32_t number;
  };
  const Want want[] = {{"&Insert", true, false, 1},
                       {"Chan&ge", false, false, 2},
                       {"&Delete", true, false, 3},
                       {"", true, true, 0},
                       {"&Select", true, false, 4}};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i].label, want[i].label);
    EXPECT_EQ(items[i].enabled, want[i].enabled);
    EXPECT_EQ(items[i].separator, want[i].separator);
    EXPECT_EQ(items[i].number, want[i].number);
  }
  EXPECT_TRUE(ParsePopupMenu("").empty());
  EXPECT_TRUE(ParsePopupMenu("    ").empty());
  EXPECT_EQ(ParsePopupMenu("a||b").size(), 3u);  // an empty entry is still an entry
  EXPECT_EQ(ParsePopupMenu("a||b")[2].number, 3);
}

// From a second thread: waits (bounded) for the menu window of this process
// and posts `msg` with `wp` to it.
class MenuDriver {
 public:
  MenuDriver(UINT msg, WPARAM wp) {
    thread_ = std::thread([this, msg, wp] {
      for (int i = 0; i < 1000 && !found_; ++i) {
        HWND menu = FindWindowA("#32768", nullptr);
        DWORD pid = 0;
        if (menu != nullptr) GetWindowThreadProcessId(menu, &pid);
        if (menu != nullptr && IsWindowVisible(menu) && pid == GetCurrentProcessId()) {
          found_ = true;
          PostMessageA(menu, msg, wp, 0);
        } else {
          Sleep(10);  // polling, bounded to 10 s
        }
      }
    });
  }
  ~MenuDriver() {
    if (thread_.joinable()) thread_.join();
  }
  bool found() {
    if (thread_.joinable()) thread_.join();
    return found_;
  }

 private:
  std::thread thread_;
  std::atomic<bool> found_ = false;
};

TEST(PopupMenuTest, AMnemonicChoosesItsEntryAndEscapeDismisses) {
  POINT at = {100, 100};
  {
    MenuDriver driver(WM_CHAR, 'd');
    EXPECT_EQ(ShowPopupMenu("&Insert|~Chan&ge|&Delete|-|&Select", &at), 3);
    EXPECT_TRUE(driver.found());
  }
  {
    MenuDriver driver(WM_CHAR, 's');
    PushCString("&Insert|&View|&Delete|-|&Select");
    EXPECT_EQ(POPUP(), 4);
    EXPECT_TRUE(driver.found());
  }
  {
    MenuDriver driver(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(ShowPopupMenu("&Insert|&Delete", &at), 0);
    EXPECT_TRUE(driver.found());
  }
  char cls[32] = {};
  GetClassNameA(PopupOwnerWindow(), cls, sizeof cls);
  EXPECT_STREQ(cls, "KorPopup");
  EXPECT_EQ(ShowPopupMenu("-|-", &at), 0);  // nothing to show
}

}  // namespace
}  // namespace kor
