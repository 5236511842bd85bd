// The message box's buttons: the eight standard buttons, reading a
// button list (a set of bits, or a list of texts) into the buttons a box
// shows, choosing its default button and mapping the platform's dialog
// result back to the answer the program receives. No platform calls: the
// box itself is message_box.h.
//
// Standard buttons, in table order (index 0..7):
//   bit  label      platform result
//     1  "OK"       1
//     2  "&Yes"     6
//     4  "&No"      7
//     8  "&Abort"   3
//    16  "&Retry"   4
//    32  "&Ignore"  5
//    64  "Cancel"   2
//   128  "&Help"    9
// The label of entry i is replaced by the runtime's message text
// kButtonMessageBase + i (32512 + i, the environment's KORBUTTON) when the
// message override list holds one.
//
// A button list whose first character is a digit is a bit set (decimal;
// bits above 128 are ignored, 0 or no known bit means OK alone). Anything
// else is a list of up to eight texts separated by "|" (trailing blanks of
// each cut; texts past the eighth are dropped): text i has the bit 1 << i;
// a text equal to a standard label (either the built-in or the replacement,
// without regard to case) keeps that button's platform result, any other
// text takes the next result from 100 upward. A standard result already
// taken by an earlier text is not given twice: the later text takes a
// number from 100 upward, so every button stays distinguishable. An empty
// (or all-blank) button list is OK alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kor {

inline constexpr int kStandardButtonCount = 8;
inline constexpr int kMaxMessageBoxButtons = 8;
inline constexpr int32_t kFirstCustomResult = 100;

struct StandardButton {
  int32_t bit;
  const char* label;
  int32_t result;  // the platform's dialog result
};
// Entry `index` (0..7) of the table above.
const StandardButton& StandardButtonAt(int index);
// The label shown for entry `index`: the replacement text when there is one.
std::string StandardButtonLabel(int index);

struct MessageBoxButton {
  int32_t bit = 0;     // in the set (bit set) or 1 << position (list)
  std::string label;   // as shown
  int32_t result = 0;  // the platform dialog result (the button's identifier)
};

struct MessageBoxButtons {
  std::vector<MessageBoxButton> buttons;  // in the order shown
  bool is_list = false;                   // from a list of texts
  int default_index = 0;                  // into buttons
};

// Reads a button list (see above) and picks the default: for a bit set,
// `default_arg` is the default button's bit; for a list, its 1-based
// position; anything that names no present button gives the first button.
MessageBoxButtons ParseMessageBoxButtons(std::string_view spec, int32_t default_arg);
// The buttons of a bit set (0 = OK alone), default the first present.
MessageBoxButtons StandardButtons(int32_t bits);

// The program's answer for a platform result: the bit (bit set) or the
// 1-based position (list) of the first button with that result; 0 when no
// button has it (the box was closed another way).
int32_t MessageBoxAnswer(const MessageBoxButtons& buttons, int32_t platform_result);

// The text as shown: each "|" becomes CR LF.
std::string BarsToLineBreaks(std::string_view text);

}  // namespace kor
