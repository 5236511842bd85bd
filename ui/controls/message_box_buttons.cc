// The message box's button table, button-list reader and answer mapping.
#include "ui/controls/message_box_buttons.h"

#include "runtime/core/error_state.h"
#include "runtime/locale/environment.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

constexpr StandardButton kStandard[kStandardButtonCount] = {
    {1, "OK", 1},      {2, "&Yes", 6},     {4, "&No", 7},     {8, "&Abort", 3},
    {16, "&Retry", 4}, {32, "&Ignore", 5}, {64, "Cancel", 2}, {128, "&Help", 9},
};
constexpr int32_t kAllStandardBits = 0xFF;
constexpr size_t kMaxBitDigits = 10;  // enough for any 32-bit value

// The standard entry whose label (built-in or replacement) equals `text`.
int StandardIndexOf(std::string_view text) {
  for (int i = 0; i < kStandardButtonCount; ++i) {
    if (EqualIgnoringAsciiCase(text, kStandard[i].label) ||
        EqualIgnoringAsciiCase(text, StandardButtonLabel(i)))
      return i;
  }
  return -1;
}

bool ResultTaken(const MessageBoxButtons& set, int32_t result) {
  for (const MessageBoxButton& b : set.buttons)
    if (b.result == result) return true;
  return false;
}

int32_t ReadBits(std::string_view spec) {
  int64_t value = 0;
  for (size_t i = 0; i < spec.size() && i < kMaxBitDigits && IsAsciiDigit(spec[i]); ++i)
    value = value * 10 + (spec[i] - '0');
  return static_cast<int32_t>(value & kAllStandardBits);
}

MessageBoxButtons ListButtons(std::string_view spec) {
  MessageBoxButtons set;
  set.is_list = true;
  int32_t next_custom = kFirstCustomResult;
  size_t start = 0;
  while (set.buttons.size() < kMaxMessageBoxButtons) {
    size_t bar = spec.find('|', start);
    std::string_view text =
        TrimTrailingBlanks(spec.substr(start, bar == spec.npos ? bar : bar - start));
    MessageBoxButton b;
    b.bit = 1 << set.buttons.size();
    b.label.assign(text);
    int standard = StandardIndexOf(text);
    if (standard >= 0 && !ResultTaken(set, kStandard[standard].result)) {
      b.result = kStandard[standard].result;
    } else {
      b.result = next_custom++;
    }
    set.buttons.push_back(std::move(b));
    if (bar == spec.npos) break;
    start = bar + 1;
  }
  return set;
}

}  // namespace

const StandardButton& StandardButtonAt(int index) { return kStandard[index]; }

std::string StandardButtonLabel(int index) {
  const char* replacement = FindMessageText(kButtonMessageBase + index);
  return replacement != nullptr ? replacement : kStandard[index].label;
}

MessageBoxButtons StandardButtons(int32_t bits) {
  MessageBoxButtons set;
  if ((bits & kAllStandardBits) == 0) bits = 1;
  for (int i = 0; i < kStandardButtonCount; ++i) {
    if ((bits & kStandard[i].bit) == 0) continue;
    set.buttons.push_back({kStandard[i].bit, StandardButtonLabel(i), kStandard[i].result});
  }
  return set;
}

MessageBoxButtons ParseMessageBoxButtons(std::string_view spec, int32_t default_arg) {
  spec = TrimTrailingBlanks(spec);
  MessageBoxButtons set;
  if (spec.empty() || IsAsciiDigit(spec[0])) {
    set = StandardButtons(spec.empty() ? 0 : ReadBits(spec));
    for (size_t i = 0; i < set.buttons.size(); ++i)
      if (default_arg != 0 && set.buttons[i].bit == default_arg) set.default_index = int(i);
  } else {
    set = ListButtons(spec);
    if (default_arg >= 1 && default_arg <= int32_t(set.buttons.size()))
      set.default_index = default_arg - 1;
  }
  return set;
}

int32_t MessageBoxAnswer(const MessageBoxButtons& set, int32_t platform_result) {
  for (size_t i = 0; i < set.buttons.size(); ++i) {
    if (set.buttons[i].result != platform_result) continue;
    return set.is_list ? int32_t(i) + 1 : set.buttons[i].bit;
  }
  return 0;
}

std::string BarsToLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '|') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kor
