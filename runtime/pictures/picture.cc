// The picture compiler: reads a picture text into its compiled record.
#include "runtime/pictures/picture.h"

#include <cstring>

#include "runtime/os/ascii.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/picture_cells.h"

namespace kor {

namespace {

// Reads an unsigned number at text[*i]; false when there is no digit or the
// number exceeds `max`.
bool ReadNumber(std::string_view text, size_t* i, int max, int* value) {
  if (*i >= text.size() || !IsAsciiDigit(text[*i])) return false;
  int v = 0;
  while (*i < text.size() && IsAsciiDigit(text[*i])) {
    v = v * 10 + (text[*i] - '0');
    if (v > max) return false;
    ++*i;
  }
  *value = v;
  return true;
}

// "0", "_" or "*" as the fill of a picture; "_" stands for a blank.
char FillFor(char c) { return c == '_' ? ' ' : c; }

bool ReadSeparator(std::string_view text, size_t* i, char* sep) {
  if (*i >= text.size()) return true;
  switch (text[*i]) {
    case '.': *sep = '.'; break;
    case '-': *sep = '-'; break;
    case '_': *sep = ' '; break;
    case '`': *sep = ','; break;
    default: return false;
  }
  ++*i;
  return true;
}

bool ParseString(std::string_view body, Picture* p) {
  size_t i = 0;
  int width;
  if (!ReadNumber(body, &i, 255, &width) || width == 0 || i != body.size()) return false;
  p->width = static_cast<uint8_t>(width);
  p->number = static_cast<uint8_t>(width);
  return true;
}

// @D[fill]n[window][separator] and @T[fill]n[separator].
bool ParseDateTime(std::string_view body, bool date, Picture* p) {
  size_t i = 0;
  char fill = 0;
  if (!body.empty() && (body[0] == '_' || body[0] == '*' ||
                        (body[0] == '0' && body.size() > 1 && IsAsciiDigit(body[1])))) {
    fill = FillFor(body[0]);
    i = 1;
  }
  int n;
  if (!ReadNumber(body, &i, 99, &n)) return false;
  int window = kDefaultCenturyWindow;
  if (date && i < body.size() && (body[i] == '<' || body[i] == '>')) {
    bool future = body[i] == '>';
    ++i;
    int k = future ? 80 : kDefaultCenturyWindow;
    if (i < body.size() && IsAsciiDigit(body[i]) && !ReadNumber(body, &i, 99, &k)) return false;
    window = future ? 99 - k : k;
  }
  char sep = 0;
  if (!ReadSeparator(body, &i, &sep) || i != body.size()) return false;
  bool ok = date ? BuildDateCells(n, p) : BuildTimeCells(n, p);
  if (!ok) return false;
  p->number = static_cast<uint8_t>(n);
  p->century_window = static_cast<uint8_t>(window);
  for (int c = 0; c < p->width; ++c) {
    PictureCell& cell = p->cells[c];
    if (cell.code == kCellSeparator && sep != 0) cell.ch = sep;
    if (fill != 0 && (cell.code == kCellMonth || cell.code == kCellDay || cell.code == kCellYear ||
                      cell.code == kCellMonthName || cell.code == kCellHour ||
                      cell.code == kCellMinute || cell.code == kCellSecond))
      cell.ch = fill;
  }
  return true;
}

// A currency: "$" or a text of at least one character between two "~".
bool ReadCurrency(std::string_view body, size_t* i, Picture* p) {
  if (*i >= body.size()) return false;
  std::string_view text;
  if (body[*i] == '$') {
    text = body.substr(*i, 1);
    ++*i;
  } else if (body[*i] == '~') {
    size_t end = body.find('~', *i + 1);
    if (end == std::string_view::npos || end == *i + 1) return false;
    text = body.substr(*i + 1, end - *i - 1);
    *i = end + 1;
  } else {
    return false;
  }
  for (size_t k = 0; k < text.size(); ++k) p->cells[k] = PictureCell{text[k], kCellLiteral};
  p->numeric.currency_length = static_cast<uint8_t>(text.size());
  return true;
}

bool IsPointChar(char c) { return c == '.' || c == '`' || c == 'v' || c == 'V'; }

// @N: [currency][sign][fill]width[grouping][indicator places][trailing sign]
// [trailing currency]. A grouping character (".", "`" comma, "_" blank) is
// one only when the indicator or the end follows it. Without one, numbers
// are grouped with "," (no fill or "*" fill), "." (indicator "`") or not at
// all (fill "0" or "_").
bool ParseNumeric(std::string_view body, Picture* p) {
  NumericLayout& n = p->numeric;
  size_t i = 0;
  bool has_currency = false;
  if (i < body.size() && (body[i] == '$' || body[i] == '~')) {
    if (!ReadCurrency(body, &i, p)) return false;
    has_currency = true;
  }
  if (i < body.size() && body[i] == '-') {
    n.sign = NumericSign::kLeadingMinus;
    ++i;
  } else if (i < body.size() && body[i] == '(') {
    n.sign = NumericSign::kParentheses;
    ++i;
  }
  if (i + 1 < body.size() && (body[i] == '_' || body[i] == '*' || body[i] == '0') &&
      IsAsciiDigit(body[i + 1])) {
    n.fill = FillFor(body[i]);
    ++i;
  }
  int width;
  if (!ReadNumber(body, &i, 254, &width) || width == 0) return false;
  bool explicit_grouping = false;
  if (i < body.size() && (body[i] == '.' || body[i] == '`' || body[i] == '_') &&
      (i + 1 == body.size() || IsPointChar(body[i + 1]))) {
    n.grouping = body[i] == '.' ? '.' : body[i] == '`' ? ',' : ' ';
    explicit_grouping = true;
    ++i;
  }
  bool has_indicator = false;
  char indicator = 0;
  if (i < body.size() && IsPointChar(body[i])) {
    has_indicator = true;
    indicator = body[i] == '.' ? '.' : body[i] == '`' ? ',' : 'v';
    ++i;
    int places = 0;
    if (i < body.size() && IsAsciiDigit(body[i]) && !ReadNumber(body, &i, 254, &places))
      return false;
    n.places = static_cast<uint8_t>(places);
    if (places > 0) n.point = indicator;
  }
  if (i < body.size() && body[i] == '-') {
    if (n.sign != NumericSign::kNone) return false;
    n.sign = NumericSign::kTrailingMinus;
    ++i;
  } else if (i < body.size() && body[i] == ')') {
    if (n.sign != NumericSign::kParentheses) return false;
    ++i;
  } else if (n.sign == NumericSign::kParentheses) {
    if (i >= body.size() || body[i] != ')') return false;
  }
  if (i < body.size() && (body[i] == '$' || body[i] == '~')) {
    if (has_currency || !ReadCurrency(body, &i, p)) return false;
    n.currency_trailing = true;
  }
  if (i != body.size()) return false;
  // A grouping character that is also the shown decimal point ("@N15..2",
  // "@N15``2") makes "1.234.50" unreadable: which point is the decimal one?
  if (explicit_grouping && n.point != 0 && n.point != 'v' && n.grouping == n.point) return false;
  if (!explicit_grouping) {
    if (n.fill == '0' || n.fill == ' ') {
      n.grouping = 0;
    } else {
      n.grouping = (has_indicator && indicator == ',') ? '.' : ',';
    }
  }
  int fixed = n.currency_length + n.places + ((n.point == '.' || n.point == ',') ? 1 : 0);
  if (n.sign == NumericSign::kParentheses) fixed += 2;
  if (n.sign == NumericSign::kLeadingMinus || n.sign == NumericSign::kTrailingMinus) fixed += 1;
  if (fixed > width) return false;
  p->width = static_cast<uint8_t>(width);
  p->number = static_cast<uint8_t>(width);
  return true;
}

// @Ew.p with "." or "`" as the indicator.
bool ParseScientific(std::string_view body, Picture* p) {
  size_t i = 0;
  int width, places = 0;
  if (!ReadNumber(body, &i, 254, &width) || width == 0) return false;
  char point = '.';
  if (i < body.size() && (body[i] == '.' || body[i] == '`')) {
    point = body[i] == '.' ? '.' : ',';
    ++i;
    if (i < body.size() && !ReadNumber(body, &i, 254, &places)) return false;
  }
  if (i != body.size()) return false;
  // sign, digit, indicator and places, "e+00"
  if (1 + 1 + (places > 0 ? places + 1 : 0) + 4 > width) return false;
  p->width = static_cast<uint8_t>(width);
  p->number = static_cast<uint8_t>(width);
  p->numeric.places = static_cast<uint8_t>(places);
  p->numeric.point = places > 0 ? point : 0;
  return true;
}

// @P...P and @K...K: the body ends with the kind letter again.
bool ParsePattern(std::string_view body, char letter, Picture* p) {
  if (body.size() < 2 || (body.back() | 0x20) != letter) return false;
  body.remove_suffix(1);
  if (body.size() > kMaxPictureWidth) return false;
  bool key_in = letter == 'k';
  for (size_t k = 0; k < body.size(); ++k) {
    char c = body[k];
    uint8_t code = kCellLiteral;
    if (c == '#') code = kCellDigit;
    else if (c == '<') code = kCellDigitBlank;
    else if (key_in && c == '@') code = kCellLetter;
    else if (key_in && c == '?') code = kCellAny;
    p->cells[k] = PictureCell{c, code};
  }
  p->width = static_cast<uint8_t>(body.size());
  return true;
}

}  // namespace

void CompilePicture(const char* text, size_t length, Picture* out) {
  Picture& p = *out;
  p.kind = PictureKind::kInvalid;
  p.flags = 0;
  p.width = 0;
  p.century_window = kDefaultCenturyWindow;
  p.number = 0;
  p.numeric = NumericLayout{};
  p.source = text;
  if (text == nullptr) {
    p.kind = PictureKind::kString;
    p.width = 255;
    p.number = 255;
    return;
  }
  std::string_view s = TrimTrailingBlanks(std::string_view(text, length));
  if (s.empty() || s.size() > 254) return;
  if (s.back() == 'B' || s.back() == 'b') {
    // "@PB##P" or a pattern ending in its own letter never reach here with a
    // trailing B; only a real blank-when-zero marker does.
    s.remove_suffix(1);
    p.flags |= kPicBlankWhenZero;
    s = TrimTrailingBlanks(s);
  }
  if (s.size() < 2) return;
  if (s[0] == '@') s.remove_prefix(1);
  if (s.empty()) return;
  char letter = static_cast<char>(s[0] | 0x20);
  std::string_view body = s.substr(1);
  bool ok = false;
  switch (letter) {
    // clang-format off
    case 's': p.kind = PictureKind::kString; ok = ParseString(body, &p); break;
    case 'd': p.kind = PictureKind::kDate; ok = ParseDateTime(body, true, &p); break;
    case 't': p.kind = PictureKind::kTime; ok = ParseDateTime(body, false, &p); break;
    case 'n': p.kind = PictureKind::kNumeric; ok = ParseNumeric(body, &p); break;
    case 'e': p.kind = PictureKind::kScientific; ok = ParseScientific(body, &p); break;
    case 'p': p.kind = PictureKind::kPattern; ok = ParsePattern(body, 'p', &p); break;
    case 'k': p.kind = PictureKind::kKeyIn; ok = ParsePattern(body, 'k', &p); break;
    // clang-format on
    default: break;
  }
  if (!ok) {
    p = Picture{};
    p.source = text;
  }
}

Picture CompilePicture(const char* text) {
  Picture p;
  CompilePicture(text, text == nullptr ? 0 : std::strlen(text), &p);
  return p;
}

Picture CompilePicture(std::string_view text) {
  Picture p;
  CompilePicture(text.data() == nullptr ? "" : text.data(), text.size(), &p);
  return p;
}

}  // namespace kor
