// The pop-up menu (the language's POPUP): a menu built from a text such as
// "&Insert|~Chan&ge|&Delete|-|&Select" and shown at the mouse pointer.
//
// Entries are separated by "|"; an entry "-" is a separator line; an entry
// starting with "~" is shown disabled (the "~" is not shown); "&" marks the
// mnemonic as in any menu. Entries are numbered 1, 2 ... skipping
// separators, and the choice is that number, 0 when the menu was dismissed.
// Trailing blanks of the text are cut; an empty text or one of separators
// only shows nothing and returns 0.
//
// The menu's owner is a hidden window of the runtime's class KorPopup (made
// once per thread); the menu runs modally on the calling thread. While the
// menu is shown the owner's window text is the menu text, so that another
// process (a test robot) can read the entries and their states.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kor {

struct PopupItem {
  std::string label;  // without the "~"
  bool enabled = true;
  bool separator = false;
  int32_t number = 0;  // 1-based; 0 for a separator
};

std::vector<PopupItem> ParsePopupMenu(std::string_view text);

// Shows the menu at the pointer (or at `at` in screen pixels when given)
// and returns the choice.
int32_t ShowPopupMenu(std::string_view text, const POINT* at = nullptr);

// POPUP on the string stack: pops the text, returns the choice.
int32_t POPUP();

// The calling thread's KorPopup owner window (null before the first menu).
HWND PopupOwnerWindow();

}  // namespace kor
