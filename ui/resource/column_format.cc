// Parses list column format strings.
#include "ui/resource/column_format.h"

#include <algorithm>

namespace kor {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AlignOf(char c, ColumnAlign* align) {
  switch (c) {
    case 'L': *align = ColumnAlign::kLeft; return true;
    case 'R': *align = ColumnAlign::kRight; return true;
    case 'C': *align = ColumnAlign::kCentre; return true;
    case 'D': *align = ColumnAlign::kDecimal; return true;
    default: return false;
  }
}

class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}
  bool done() const { return at_ >= s_.size(); }
  char peek() const { return done() ? '\0' : s_[at_]; }
  size_t at() const { return at_; }
  void skip() {
    if (!done()) ++at_;
  }
  bool take(char c) {
    if (peek() != c || done()) return false;
    ++at_;
    return true;
  }
  // An unsigned decimal (saturating); 0 when no digit is there.
  int32_t Number() {
    int32_t n = 0;
    while (!done() && IsDigit(s_[at_])) {
      n = std::min(kMaxFormatNumber, n * 10 + (s_[at_] - '0'));
      ++at_;
    }
    return n;
  }
  // "(" n ")" when a "(" follows; `fallback` otherwise.
  int32_t ParenNumber(int32_t fallback) {
    if (!take('(')) return fallback;
    int32_t n = Number();
    take(')');
    return n;
  }
  // The text up to `end` (taken) or to the end of the string.
  std::string_view Until(char end) {
    size_t stop = s_.find(end, at_);
    if (stop == s_.npos) stop = s_.size();
    std::string_view text = s_.substr(at_, stop - at_);
    at_ = std::min(s_.size(), stop + 1);
    return text;
  }

 private:
  std::string_view s_;
  size_t at_ = 0;
};

// One colour position: decimal, or hexadecimal with a trailing "H".
int32_t ColourValue(std::string_view text) {
  if (text.empty()) return kNoColour;
  bool hex = Upper(text.back()) == 'H';
  if (hex) text.remove_suffix(1);
  uint32_t v = 0;
  for (char c : text) {
    char u = Upper(c);
    int digit = IsDigit(u) ? u - '0' : (hex && u >= 'A' && u <= 'F') ? u - 'A' + 10 : -1;
    if (digit < 0) break;
    v = v * (hex ? 16u : 10u) + uint32_t(digit);
  }
  return int32_t(v);
}

void ReadColours(Reader& r, ColumnLook* look) {
  if (!r.take('(')) return;
  std::string_view inner = r.Until(')');
  for (int i = 0; i < 4; ++i) {
    size_t comma = inner.find(',');
    look->colours[i] = ColourValue(inner.substr(0, comma));
    if (comma == inner.npos) break;
    inner.remove_prefix(comma + 1);
  }
  for (int32_t c : look->colours)
    if (c != kNoColour) look->options |= kColColours;
}

void ReadTreeOptions(Reader& r, ColumnLook* look) {
  if (!r.take('(')) return;
  for (char c : r.Until(')')) {
    switch (Upper(c)) {
      case 'L': look->tree_options |= kTreeL; break;
      case '1': look->tree_options |= kTree1; break;
      case 'R': look->tree_options |= kTreeR; break;
      case 'B': look->tree_options |= kTreeB; break;
      case 'I': look->tree_options |= kTreeI; break;
      default: break;
    }
  }
}

void ReadHeader(Reader& r, ColumnLook* look) {
  look->header.assign(r.Until('~'));
  look->header_lines = 1 + int32_t(std::count(look->header.begin(), look->header.end(), '\n'));
  if (AlignOf(r.peek(), &look->header_align)) {
    r.skip();
    look->header_indent = r.ParenNumber(look->header_indent);
  }
}

// Where a column's own modifiers (picture, first field) go; null for a group.
struct ColumnExtras {
  std::string* picture = nullptr;
  int32_t* first_field = nullptr;
};

// Reads one modifier starting with `c` (already taken); false when `c` is
// no modifier.
bool ReadModifier(char c, Reader& r, ColumnLook* look, const ColumnExtras& extras) {
  switch (c) {
    case '~': ReadHeader(r, look); return true;
    case '@': {
      std::string_view pic = r.Until('@');
      if (extras.picture != nullptr) *extras.picture = "@" + std::string(pic);
      return true;
    }
    case '#': {
      int32_t n = r.Number();
      r.take('#');
      if (extras.first_field != nullptr && n > 0) *extras.first_field = n;
      return true;
    }
    case '*': look->options |= kColColourFields; return true;
    case '|': look->options |= kColRightBorder; return true;
    case '_': look->options |= kColBottomBorder; return true;
    case '?': look->options |= kColDesignated; return true;
    case '/': look->options |= kColNewLine; return true;
    default: break;
  }
  switch (Upper(c)) {
    case 'E': ReadColours(r, look); return true;
    case 'I': look->options |= kColIcon; return true;
    case 'J': look->options |= kColIcon | kColTransparentIcon; return true;
    case 'T':
      look->options |= kColTree;
      ReadTreeOptions(r, look);
      return true;
    case 'Y': look->options |= kColStyleField; return true;
    case 'Z': look->style = r.ParenNumber(0); return true;
    case 'M': look->options |= kColResizable; return true;
    case 'F': look->options |= kColFixed; return true;
    case 'S':
      look->options |= kColScroll;
      look->scroll_units = r.ParenNumber(kDefaultScrollUnits);
      return true;
    case 'H': look->measure_units = r.ParenNumber(0); return true;
    default: return false;
  }
}

bool IsModifier(char c) {
  static constexpr std::string_view kMarks = "~@#*|_?/";
  static constexpr std::string_view kLetters = "EIJTYZMFSH";
  return kMarks.find(c) != kMarks.npos || kLetters.find(Upper(c)) != kLetters.npos;
}

// Reads modifiers until a character is not one (left for the next column).
void ReadModifiers(Reader& r, ColumnLook* look, const ColumnExtras& extras) {
  while (!r.done() && IsModifier(r.peek())) {
    char c = r.peek();
    r.skip();
    ReadModifier(c, r, look, extras);
  }
}

class Parser {
 public:
  Parser(std::string_view format, const UnitScale& scale) : r_(format), scale_(scale) {}

  ColumnFormat Run() {
    while (!r_.done()) {
      char c = r_.peek();
      if (c == '[') {
        r_.skip();
        OpenGroup();
      } else if (c == ']') {
        r_.skip();
        CloseGroup();
      } else if (IsDigit(c) || IsAlignLetter(c)) {
        Column();
      } else {
        r_.skip();  // cannot start a column
      }
    }
    if (group_ >= 0) CloseGroup();
    Finish();
    return std::move(out_);
  }

 private:
  static bool IsAlignLetter(char c) {
    ColumnAlign a;
    return AlignOf(c, &a);
  }

  int32_t Pixels(int32_t units) const {
    return std::max(0, MulDivRound(units, scale_.horizontal, scale_.divisor));
  }

  void OpenGroup() {
    if (group_ >= 0) return;  // groups do not nest
    group_ = int32_t(out_.groups.size());
    ColumnGroup g;
    g.first_column = int32_t(out_.columns.size());
    out_.groups.push_back(g);
  }

  void CloseGroup() {
    if (group_ < 0) return;
    ColumnGroup& g = out_.groups[size_t(group_)];
    g.column_count = int32_t(out_.columns.size()) - g.first_column;
    ReadModifiers(r_, &g, {});
    group_ = -1;
  }

  void Column() {
    ListColumn col;
    col.width_units = r_.Number();
    col.width = Pixels(col.width_units);
    col.x = x_;
    col.right = x_ + col.width - 1;
    x_ += col.width;
    if (AlignOf(r_.peek(), &col.align)) {
      r_.skip();
      if (col.align != ColumnAlign::kLeft) col.header_align = col.align;
      col.indent = r_.ParenNumber(0);
    }
    int32_t first = 0;
    ReadModifiers(r_, &col, {&col.picture, &first});
    if (!col.picture.empty() && col.picture.size() > 1) col.picture_type = col.picture[1];
    AssignFields(&col, first);
    col.group = group_;
    if (out_.columns.size() < kMaxColumns) out_.columns.push_back(std::move(col));
  }

  void AssignFields(ListColumn* col, int32_t first) {
    int32_t f = first > 0 ? first : next_field_;
    col->value_field = f++;
    if (col->options & kColColourFields) {
      col->colour_field = f;
      f += 4;
    }
    if (col->options & kColIcon) col->icon_field = f++;
    if (col->options & kColTree) col->tree_field = f++;
    if (col->options & kColStyleField) col->style_field = f++;
    next_field_ = f;
    out_.field_count = std::max(out_.field_count, f - 1);
  }

  void Finish() {
    out_.total_width = x_;
    for (size_t i = 0; i < out_.columns.size(); ++i)
      if (out_.columns[i].options & kColDesignated) out_.designated = int32_t(i);
  }

  Reader r_;
  UnitScale scale_;
  ColumnFormat out_;
  int32_t x_ = 0;
  int32_t next_field_ = 1;
  int32_t group_ = -1;
};

}  // namespace

ColumnFormat ParseColumnFormat(std::string_view format, const UnitScale& scale) {
  return Parser(format, scale).Run();
}

}  // namespace kor
