// The window, control, menu and tool-bar records of a compiled window
// resource, decoded into plain structures. The window library builds windows
// from these; the resource compiler writes them and prints them back.
//
// Decoding never reads outside the buffer: an offset that points outside, a
// string without its end, or a chain that loops makes the decode fail with a
// DecodeError naming the record. A control type without a layout here is kept
// with its header only (its kind is not part of this program).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/resource/shared_blocks.h"

namespace kor {

struct ControlRecord {
  int32_t offset = 0;  // buffer offset of the record
  uint8_t type = 0;
  int32_t attr = 0;
  int32_t reserved = 0;
  int32_t field = 0;  // field number, 0 = not addressable
  std::string name;
  bool known = false;  // the kind has a layout (else only the header is read)

  // Shared items; those the kind does not have stay empty.
  VariableDescriptor variable;
  std::string format;  // list column format string
  Position position;
  MessageBlock message;
  FontBlock font;
  ImageName cursor;
  ColourBlock colours;
  std::string text;
  std::string picture;  // without its "@"
  ImageName image;      // button and check icon, image control's image

  uint8_t options = 0;  // button, bound string, image, list option byte; check icon options
  int16_t value = 0;    // prompt/string 57, bound string 74, spin 98

  // button
  int32_t action = 0;  // standard action code, 0 = none
  uint16_t delay = 0;  // auto-repeat, hundredths of a second
  uint16_t repeat = 0;
  // group
  int32_t group_block = 0;
  std::vector<ControlRecord> children;
  // check box
  ImageName image2;
  ImageName image3;
  // spin box
  double low = 0;
  double high = 0;
  double step = 0;
  VariableDescriptor source;  // spin: value queue; list: the rows' queue
  // list
  uint8_t drop = 0;
  VariableDescriptor second;
  int32_t option_value = 0;
  std::string extra_text;
  int32_t extra_value = 0;
  int32_t more = 0;
  int32_t setting = -1;
};

// Menus and their items (items chain menus too: sub-menus).
struct MenuRecord {
  int32_t offset = 0;
  uint8_t type = kRecMenu;  // kRecMenu or kRecMenuItem
  int32_t attr = 0;
  int32_t reserved = 0;
  int32_t field = 0;
  std::string name;
  int32_t reserved2 = 0;
  std::string text;
  MessageBlock message;
  FontBlock font;
  int32_t action = 0;             // items
  uint8_t options = 0;            // items: kItemChecked, kItemSeparator
  std::vector<MenuRecord> items;  // menus
};

struct MenuBarRecord {
  int32_t offset = 0;
  int32_t attr = 0;
  int32_t reserved = 0;
  std::vector<MenuRecord> menus;
};

struct ToolBarRecord {
  int32_t offset = 0;
  int32_t attr = 0;
  int32_t reserved = 0;
  Position position;
  std::vector<ControlRecord> controls;
};

struct WindowRecord {
  int32_t offset = 0;
  uint8_t type = kRecWindow;
  int32_t attr = 0;
  int32_t reserved = 0;
  int32_t reserved2[2] = {0, 0};
  Position position;
  int32_t first_control = 0;
  std::string label;
  FontBlock font;
  std::string title;
  ColourBlock colours;
  ImageName icon;
  MessageBlock message;
  int32_t attr2 = 0;
  int32_t extension = 0;
  int32_t timer = 0;  // hundredths of a second
  int32_t menu_bar = 0;
  int32_t tool_bar = 0;
  ImageName cursor;
  int32_t status_offset = 0;  // 0 = no status bar
  std::vector<int32_t> status_widths;
  uint8_t wallpaper_mode = 0;
  ImageName wallpaper;
};

// A window with everything it holds.
struct WindowTree {
  WindowRecord window;
  std::optional<MenuBarRecord> menu_bar;
  std::optional<ToolBarRecord> tool_bar;
  std::vector<ControlRecord> controls;
};

// The offsets of the window records in chain order; false on a damaged chain.
bool ListWindows(const ResourceBuffer& buffer, std::vector<int32_t>* offsets, DecodeError* error);
// One window record alone (no controls).
bool DecodeWindowRecord(const ResourceBuffer& buffer, int32_t offset, WindowRecord* out,
                        DecodeError* error);
// One control record (a group with its children).
bool DecodeControl(const ResourceBuffer& buffer, int32_t offset, ControlRecord* out,
                   DecodeError* error);
// A chain of control records from `first`, groups with their children.
bool DecodeControls(const ResourceBuffer& buffer, int32_t first, std::vector<ControlRecord>* out,
                    DecodeError* error);
// A window with its menu bar, tool bar and controls.
bool DecodeWindowTree(const ResourceBuffer& buffer, int32_t offset, WindowTree* out,
                      DecodeError* error);
// Every window of the buffer in chain order.
bool DecodeAllWindows(const ResourceBuffer& buffer, std::vector<WindowTree>* out,
                      DecodeError* error);

}  // namespace kor
