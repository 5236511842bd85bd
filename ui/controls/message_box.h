// The runtime's message box: one dialog built in memory from a template, so
// that its buttons, texts, icon and layout follow the same rules everywhere.
//
// Arguments: the text ("|" starts a new line), the caption, the icon name
// (an image name as in a window record: a file, a program resource, or the
// four-byte reference 0xFF kind lo hi; empty = none, and then the style's
// icon class counts: 0x10 hand, 0x20 question, 0x30 exclamation, 0x40
// asterisk, system icons 32513..32516), the button list
// (message_box_buttons.h), the default button and the system-modal flag.
// The answer is the pressed button's bit (bit set) or 1-based position
// (list of texts); 0 when the box was closed another way (Escape or the
// close box without a Cancel button).
//
// Layout, in dialog units of the box's font (8 points; "MS Sans Serif"
// weight 400 with the new look, else "Helv" weight 700): margins of 5, the
// icon (the platform's icon size) on the left, the text beside it measured
// with the platform's text drawing (at most kMaxTextWidth wide, wrapped),
// under them a row of buttons 50 wide and 14 high, 4 apart, centred; the box
// is at least 45 wide. The default button carries the default style and
// takes the focus. The text is the static item 0xFFFF, each button's
// identifier is its platform result.
//
// The box runs modally with the thread's active window as owner; the focus
// goes back afterwards to the window that had it.
#pragma once

#include <cstdint>
#include <string>

namespace kor {

struct MessageBoxArgs {
  std::string text = {};
  std::string caption = {};
  std::string icon = {};     // image name; empty = the style's icon class, if any
  std::string buttons = {};  // "0".."255" or "Text|Text|..."
  int32_t default_button = 0;
  bool system_modal = false;
  uint32_t style = 0;      // platform style bits: only the icon class (0xF0) is read
  bool keep_bars = false;  // show "|" as itself (the runtime's own boxes)
};

inline constexpr int kMessageBoxMargin = 5;
inline constexpr int kMessageBoxMinWidth = 45;
inline constexpr int kMessageBoxButtonWidth = 50;
inline constexpr int kMessageBoxButtonHeight = 14;
inline constexpr int kMessageBoxButtonGap = 4;
inline constexpr int kMaxTextWidth = 300;
inline constexpr int kMessageBoxTextId = 0xFFFF;
inline constexpr int kMessageBoxIconId = 20;

// Shows the box (or calls the replacement, when one is installed) and
// returns the answer.
int32_t ShowMessageBox(const MessageBoxArgs& args);

// The language's MESSAGE on the string stack: pops the text (the top), the
// caption, the icon name and the buttons.
int32_t MESSAGE(int32_t default_button, int32_t system_modal);

// A replacement for the whole operation (null = none).
using MessageBoxReplacement = int32_t (*)(const MessageBoxArgs& args);
void SetMessageBoxReplacement(MessageBoxReplacement replacement);

// The runtime's new-look setting (on by default): the box's font.
void SetMessageBoxNewLook(bool on);
bool MessageBoxNewLook();

// For the runtime's own boxes (HALT, "Runtime error"): a platform-style
// call (MB_OK.. MB_RETRYCANCEL buttons, MB_DEFBUTTONn, the icon class,
// MB_SYSTEMMODAL) shown through this box with the text as it stands;
// returns the platform result of the pressed button (0 when closed another
// way). Installed as the runtime's halt box by InitControlLibrary.
int PlatformStyleMessageBox(const char* text, const char* caption, uint32_t style);

}  // namespace kor
