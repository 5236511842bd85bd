// The name tables of the description language and their formatting.
#include "tools/rsc/names.h"

#include <cstdio>
#include <cstring>

#include "ui/resource/window_format.h"

namespace rsc {

using namespace kor;

namespace {

// clang-format off
const KindName kKinds[] = {
    {"show", kRecBoundString}, {"string", kRecString}, {"image", kRecImage},
    {"entry", kRecEntry},      {"button", kRecButton}, {"prompt", kRecPrompt},
    {"check", kRecCheck},      {"group", kRecGroup},   {"list", kRecList},
    {"spin", kRecSpin},
};

const NamedBit kKeys[] = {
    {"MouseLeft", 1}, {"MouseRight", 2}, {"MouseCentre", 4}, {"Backspace", 8}, {"Tab", 9},
    {"Enter", 13},    {"Pause", 19},     {"Esc", 27},        {"Space", 32},    {"PgUp", 33},
    {"PgDn", 34},     {"End", 35},       {"Home", 36},       {"Left", 37},     {"Up", 38},
    {"Right", 39},    {"Down", 40},      {"Insert", 45},     {"Delete", 46},
};
const NamedBit kModifiers[] = {{"Ctrl", 0x200}, {"Alt", 0x400}, {"Shift", 0x100}};

struct TypeEntry { const char* name; uint8_t type; int32_t natural; };
const TypeEntry kTypes[] = {
    {"BYTE", 1, 1},     {"SHORT", 2, 2},     {"USHORT", 3, 2},  {"DATE", 4, 4},
    {"TIME", 5, 4},     {"LONG", 6, 4},      {"ULONG", 7, 4},   {"SREAL", 8, 4},
    {"REAL", 9, 8},     {"DECIMAL", 10, 0},  {"PDECIMAL", 11, 0}, {"BFLOAT4", 13, 4},
    {"BFLOAT8", 14, 8}, {"STRING", 18, 0},   {"CSTRING", 19, 0}, {"PSTRING", 20, 0},
    {"GROUP", 22, 0},   {"QUEUE", 26, 0},
};

const NamedBit kSystemIcons[] = {
    {"application", 32512}, {"hand", 32513}, {"question", 32514}, {"exclamation", 32515},
    {"asterisk", 32516},    {"winlogo", 32517},
};
const NamedBit kSystemCursors[] = {
    {"arrow", 32512},    {"ibeam", 32513},    {"wait", 32514},   {"cross", 32515},
    {"uparrow", 32516},  {"sizenwse", 32642}, {"sizenesw", 32643}, {"sizewe", 32644},
    {"sizens", 32645},   {"sizeall", 32646},  {"no", 32648},     {"hand", 32649},
    {"appstarting", 32650}, {"help", 32651},
};
// clang-format on

template <size_t N>
const NamedBit* ByName(const NamedBit (&table)[N], std::string_view name) {
  for (const NamedBit& n : table)
    if (name == n.name) return &n;
  return nullptr;
}

template <size_t N>
const NamedBit* ByValue(const NamedBit (&table)[N], int32_t value) {
  for (const NamedBit& n : table)
    if (n.bit == value) return &n;
  return nullptr;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The platform key of one key name without modifiers.
std::optional<int32_t> KeyByName(std::string_view name) {
  if (const NamedBit* k = ByName(kKeys, name)) return k->bit;
  if (name.size() == 1 &&
      ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z')))
    return name[0];
  if (name.size() >= 2 && name[0] == 'F') {
    std::optional<int64_t> n = ParseNumber(name.substr(1));
    if (n && *n >= 1 && *n <= 12 && name[1] != '0') return static_cast<int32_t>(111 + *n);
  }
  if (name.size() > 2 && name.substr(0, 2) == "vk" && name[2] != '-') {
    std::optional<int64_t> n = ParseNumber(name.substr(2));
    if (n && *n >= 0 && *n <= 255) return static_cast<int32_t>(*n);
  }
  return std::nullopt;
}

std::string KeyNameOf(int32_t vk) {
  if (const NamedBit* k = ByValue(kKeys, vk)) return k->name;
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
  if (vk >= 112 && vk <= 123) return "F" + std::to_string(vk - 111);
  return "vk" + std::to_string(vk);
}

}  // namespace

const KindName* KindByName(std::string_view name) {
  for (const KindName& k : kKinds)
    if (name == k.name) return &k;
  return nullptr;
}

const KindName* KindByType(uint8_t type) {
  for (const KindName& k : kKinds)
    if (k.type == type) return &k;
  return nullptr;
}

BitNames ControlAttrNames(uint8_t type) {
  BitNames names = {{"right", kCtlRight},
                    {"centre", kCtlCentre},
                    {"notab", kCtlNoTab},
                    {"disabled", kCtlDisabled},
                    {"hidden", kCtlHidden}};
  if (type == kRecEntry || type == kRecSpin) {
    names.insert(names.end(), {{"readonly", kCtlReadOnly},
                               {"required", kCtlRequired},
                               {"upper", kCtlUpper},
                               {"password", kCtlPassword}});
  }
  if (type == kRecButton) names.push_back({"repeat", kCtlRepeat});
  if (type == kRecList) {
    names.insert(names.end(),
                 {{"paged", kCtlPaged}, {"vscroll", kCtlVScroll}, {"hscroll", kCtlHScroll}});
  }
  return names;
}

BitNames OptionNames(uint8_t type) {
  switch (type) {
    case kRecButton:
    case kRecCheck: return {{"default", kButtonDefault}, {"icon-left", kButtonIconLeft}};
    case kRecList: return {{"extra", kListExtra}};
    case kRecImage:
      return {{"stretch", kImageStretch}, {"centre", kImageCentre}, {"tile", kImageTile}};
    case kRecMenuItem: return {{"checked", kItemChecked}, {"separator", kItemSeparator}};
    default: return {};
  }
}

BitNames WindowFlagNames() {
  return {{"centred", kWinCentred}, {"maxbox", kWinMaxBox},       {"sysmenu", kWinSysMenu},
          {"look3d", kWinLook3d},   {"maximised", kWinMaximised}, {"minimised", kWinMinimised}};
}

BitNames FrameNames() {
  return {{"single", kFrameSingle},
          {"resizable", kFrameResizable},
          {"double", kFrameDouble},
          {"none", kFrameNone}};
}

BitNames UnitNames() {
  return {{"dialog", kUnitDialog},
          {"inch/25", kUnitInch25},
          {"inch/1000", kUnitInch1000},
          {"pixel", kUnitPixelOrPoint}};
}

std::string FormatBits(int32_t value, const BitNames& names) {
  std::string out;
  uint32_t rest = static_cast<uint32_t>(value);
  for (uint32_t bit = 1; bit != 0; bit <<= 1) {
    if ((rest & bit) == 0) continue;
    for (const NamedBit& n : names) {
      if (static_cast<uint32_t>(n.bit) != bit) continue;
      out += (out.empty() ? "" : " ") + std::string(n.name);
      rest &= ~bit;
    }
  }
  if (rest != 0) out += (out.empty() ? "" : " ") + Hex(rest);
  return out;
}

std::optional<int32_t> ParseBits(const std::vector<std::string>& words, const BitNames& names,
                                 std::string* bad) {
  uint32_t value = 0;
  for (const std::string& w : words) {
    const NamedBit* found = nullptr;
    for (const NamedBit& n : names)
      if (w == n.name) found = &n;
    std::optional<int64_t> number = w.rfind("0x", 0) == 0 ? ParseNumber(w) : std::nullopt;
    if (found != nullptr) value |= static_cast<uint32_t>(found->bit);
    else if (number) value |= static_cast<uint32_t>(*number);
    else {
      *bad = w;
      return std::nullopt;
    }
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> ValueByName(std::string_view name, const BitNames& names) {
  for (const NamedBit& n : names)
    if (name == n.name) return n.bit;
  return std::nullopt;
}

const char* NameOfValue(int32_t value, const BitNames& names) {
  for (const NamedBit& n : names)
    if (n.bit == value) return n.name;
  return nullptr;
}

std::string FormatKey(int32_t code) {
  if (code < 0 || code > 0x7FF) return Hex(static_cast<uint32_t>(code));
  std::string out;
  for (const NamedBit& m : kModifiers)
    if (code & m.bit) out += std::string(m.name) + "+";
  return out + KeyNameOf(code & 0xFF);
}

std::optional<int32_t> ParseKey(std::string_view text) {
  if (text.rfind("0x", 0) == 0) {
    std::optional<int64_t> n = ParseNumber(text);
    return n ? std::optional<int32_t>(static_cast<int32_t>(*n)) : std::nullopt;
  }
  int32_t modifiers = 0;
  size_t plus;
  while ((plus = text.find('+')) != std::string_view::npos && plus + 1 < text.size()) {
    const NamedBit* m = ByName(kModifiers, text.substr(0, plus));
    if (m == nullptr) return std::nullopt;
    modifiers |= m->bit;
    text.remove_prefix(plus + 1);
  }
  std::optional<int32_t> key = KeyByName(text);
  if (!key) return std::nullopt;
  return *key | modifiers;
}

const char* TypeName(uint8_t type) {
  for (const TypeEntry& t : kTypes)
    if (t.type == type) return t.name;
  return nullptr;
}

std::optional<uint8_t> TypeByName(std::string_view name) {
  for (const TypeEntry& t : kTypes)
    if (name == t.name) return t.type;
  if (name.rfind("type", 0) == 0) {
    std::optional<int64_t> n = ParseNumber(name.substr(4));
    if (n && *n >= 0 && *n <= 255) return static_cast<uint8_t>(*n);
  }
  return std::nullopt;
}

int32_t NaturalSize(uint8_t type) {
  for (const TypeEntry& t : kTypes)
    if (t.type == type) return t.natural;
  return 0;
}

std::string FormatAction(int32_t code) { return code == 15 ? "close" : std::to_string(code); }

std::optional<int32_t> ParseAction(std::string_view text) {
  if (text == "close") return 15;
  std::optional<int64_t> n = ParseNumber(text);
  if (!n || *n < INT32_MIN || *n > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(*n);
}

std::string FormatColour(int32_t value) {
  if (value == kDefaultColour) return "default";
  uint32_t v = static_cast<uint32_t>(value);
  if (v > 0xFFFFFF) return Hex(v);
  char buf[32];
  snprintf(buf, sizeof buf, "rgb(%u,%u,%u)", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
  return buf;
}

std::optional<int32_t> ParseColour(std::string_view text) {
  if (text == "default") return kDefaultColour;
  if (text.rfind("0x", 0) == 0) {
    std::optional<int64_t> n = ParseNumber(text);
    return n ? std::optional<int32_t>(static_cast<int32_t>(*n)) : std::nullopt;
  }
  if (text.size() < 6 || text.substr(0, 4) != "rgb(" || text.back() != ')') return std::nullopt;
  text = text.substr(4, text.size() - 5);
  int32_t packed = 0;
  for (int i = 0; i < 3; ++i) {
    size_t comma = text.find(',');
    if ((i < 2) != (comma != std::string_view::npos)) return std::nullopt;
    std::optional<int64_t> n = ParseNumber(text.substr(0, comma));
    if (!n || *n < 0 || *n > 255) return std::nullopt;
    packed |= static_cast<int32_t>(*n) << (8 * i);
    if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
  }
  return packed;
}

const char* SystemIconName(int32_t id) {
  const NamedBit* n = ByValue(kSystemIcons, id);
  return n ? n->name : nullptr;
}
const char* SystemCursorName(int32_t id) {
  const NamedBit* n = ByValue(kSystemCursors, id);
  return n ? n->name : nullptr;
}
std::optional<int32_t> SystemIconByName(std::string_view name) {
  const NamedBit* n = ByName(kSystemIcons, name);
  return n ? std::optional<int32_t>(n->bit) : std::nullopt;
}
std::optional<int32_t> SystemCursorByName(std::string_view name) {
  const NamedBit* n = ByName(kSystemCursors, name);
  return n ? std::optional<int32_t>(n->bit) : std::nullopt;
}

std::optional<int64_t> ParseNumber(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && text[1] == 'x') {
    if (text.size() > 10) return std::nullopt;
    uint32_t v = 0;
    for (char c : text.substr(2)) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      v = v << 4 | static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(v);
  }
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return negative ? -v : v;
}

std::string Hex(uint32_t value) {
  char buf[16];
  snprintf(buf, sizeof buf, "0x%X", value);
  return buf;
}

}  // namespace rsc
