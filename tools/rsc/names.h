// The names of the window description language: control kinds, attribute
// and option bits, frames, units, keys, data types, standard actions,
// colours and the platform's icons and cursors, each with its number in the
// compiled resource. The parser reads these names and the printer writes
// them; numbers without a name are written in hexadecimal or as raw codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rsc {

struct KindName {
  const char* name;
  uint8_t type;
};
// "show" 1, "string" 2, "image" 3, "entry" 8, "button" 9, "prompt" 10,
// "check" 12, "group" 13, "list" 14, "spin" 16.
const KindName* KindByName(std::string_view name);
const KindName* KindByType(uint8_t type);

struct NamedBit {
  const char* name;
  int32_t bit;
};
using BitNames = std::vector<NamedBit>;

// Attribute-word names of a control kind (the common ones and its own).
BitNames ControlAttrNames(uint8_t type);
// Option-byte names of a kind (button, check box, list, image) and of menu items.
BitNames OptionNames(uint8_t type);
// The second window attribute word without its frame field.
BitNames WindowFlagNames();
// Frame field (0x60) values and the unit field (0x300) values.
BitNames FrameNames();
BitNames UnitNames();

// Bits as names separated by blanks, ascending; bits without a name as one
// hexadecimal number at the end ("notab readonly 0x10000").
std::string FormatBits(int32_t value, const BitNames& names);
// The value of names and hexadecimal numbers; nullopt and the bad word in
// `bad` when a word is neither.
std::optional<int32_t> ParseBits(const std::vector<std::string>& words, const BitNames& names,
                                 std::string* bad);
// A field value by name (frame, unit); nullopt when unknown.
std::optional<int32_t> ValueByName(std::string_view name, const BitNames& names);
const char* NameOfValue(int32_t value, const BitNames& names);

// Key codes: the platform key in the low byte, Shift 0x100, Ctrl 0x200, Alt
// 0x400: "Ctrl+Enter" is 525. Keys without a name are "vk" and the number
// ("Ctrl+vk5"); codes with other bits are hexadecimal numbers.
std::string FormatKey(int32_t code);
std::optional<int32_t> ParseKey(std::string_view text);

// Data types of bound variables: name and type code, and the size a type has
// when its declaration gives none (0 for the sized ones).
const char* TypeName(uint8_t type);  // null when the code has no name
std::optional<uint8_t> TypeByName(std::string_view name);
int32_t NaturalSize(uint8_t type);

// Standard actions: "close" is 15; other codes are numbers.
std::string FormatAction(int32_t code);
std::optional<int32_t> ParseAction(std::string_view text);

// Colours: "default" (-1), "rgb(r,g,b)" packed as the platform packs it
// (red in the low byte), other values hexadecimal.
std::string FormatColour(int32_t value);
std::optional<int32_t> ParseColour(std::string_view text);

// The platform's own icons and cursors by name ("question" 32514, "arrow"
// 32512 ...); numbers for those without a name.
const char* SystemIconName(int32_t id);
const char* SystemCursorName(int32_t id);
std::optional<int32_t> SystemIconByName(std::string_view name);
std::optional<int32_t> SystemCursorByName(std::string_view name);

// Whole numbers: decimal with an optional sign, or "0x" and hexadecimal
// digits (read as the 32-bit pattern).
std::optional<int64_t> ParseNumber(std::string_view text);
std::string Hex(uint32_t value);

}  // namespace rsc
