// FORMAT and DEFORMAT for the date (@D) and time (@T) pictures.
#include <cstring>

#include "runtime/locale/locale.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"

namespace kor {

namespace {

size_t Blank(const Picture& p, char* out) {
  std::memset(out, ' ', p.width);
  return p.width;
}

// Length of the run of cells with the same code starting at k.
int RunLength(const Picture& p, int k) {
  int end = k + 1;
  while (end < p.width && p.cells[end].code == p.cells[k].code) ++end;
  return end - k;
}

// Shows `value` right-aligned in the run cells[k, k+len); leading zeros show
// the cell's fill character, the last cell always a digit.
void PutDigits(const Picture& p, int k, int len, int value, char* out) {
  int limit = 1;
  for (int i = 0; i < len && limit < 100000000; ++i) limit *= 10;
  value %= limit;  // a two-digit year shows the year within its century
  for (int i = k + len - 1; i >= k; --i) {
    int digit = value % 10;
    value /= 10;
    bool leading_zero = digit == 0 && value == 0 && i != k + len - 1;
    out[i] = leading_zero ? p.cells[i].ch : static_cast<char>('0' + digit);
  }
}

// Left-aligned text cut to the run; the rest of the run shows the fill.
void PutText(const Picture& p, int k, int len, std::string_view text, char* out) {
  for (int i = 0; i < len; ++i)
    out[k + i] = i < static_cast<int>(text.size()) ? text[i] : p.cells[k + i].ch;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

struct Token {
  std::string_view text;
  bool number;
};

// 1 for a digit, 2 for a letter (any byte from 128 counts as one), else 0.
int CharClass(char c) {
  if (c >= '0' && c <= '9') return 1;
  if ((Lower(c) >= 'a' && Lower(c) <= 'z') || static_cast<unsigned char>(c) >= 128) return 2;
  return 0;
}

// Splits text into runs of digits and runs of letters; everything else
// separates them. At most 8 tokens are kept; more makes `too_many` true.
int Tokenize(std::string_view text, Token* tokens, bool* too_many) {
  int n = 0;
  *too_many = false;
  size_t i = 0;
  while (i < text.size()) {
    int cls = CharClass(text[i]);
    if (cls == 0) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && CharClass(text[j]) == cls) ++j;
    if (n == 8) {
      *too_many = true;
      return n;
    }
    tokens[n++] = Token{text.substr(i, j - i), cls == 1};
    i = j;
  }
  return n;
}

int ToInt(std::string_view digits) {
  int v = 0;
  for (char c : digits) v = v < 100000000 ? v * 10 + (c - '0') : v;
  return v;
}

// The month a word names: its short name, or a start (3 letters or more) of
// its long name. 0 when none or more than one month matches.
int MonthFromWord(std::string_view word) {
  int found = 0;
  for (int m = 1; m <= 12; ++m) {
    std::string_view lng = LongMonthName(m);
    bool match =
        EqualNoCase(word, ShortMonthName(m)) || (word.size() >= 3 && word.size() <= lng.size() &&
                                                 EqualNoCase(word, lng.substr(0, word.size())));
    if (match) {
      if (found != 0 && found != m) return 0;
      found = m;
    }
  }
  return found;
}

bool IsBlank(std::string_view text) {
  for (char c : text)
    if (c != ' ') return false;
  return true;
}

// Reads text laid out cell for cell as the picture shows it (what FORMAT
// wrote, fills and all). False when the text does not have that layout.
bool ReadByLayout(std::string_view text, const Picture& p, int* month_out, int* day_out,
                  int* year_out, int* year_digits_out) {
  if (text.size() != p.width) return false;
  int m = 0, d = 0, y = 0, yd = 0;
  int* month = &m;
  int* day = &d;
  int* year = &y;
  int* year_digits = &yd;
  for (int k = 0; k < p.width;) {
    const PictureCell& cell = p.cells[k];
    if (cell.code == kCellLiteral || cell.code == kCellSeparator) {
      if (text[k] != cell.ch) return false;
      ++k;
      continue;
    }
    int len = RunLength(p, k);
    if (cell.code == kCellMonthName) {
      std::string_view word = text.substr(k, len);
      while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
      *month = MonthFromWord(word);
      if (*month == 0) return false;
    } else {
      int value = 0;
      bool digit_seen = false;
      for (int i = k; i < k + len; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
          value = value * 10 + (c - '0');
          digit_seen = true;
        } else if (!digit_seen && (c == p.cells[i].ch || c == ' ')) {
          value *= 10;  // a leading zero shown as its fill
        } else {
          return false;
        }
      }
      if (!digit_seen) return false;
      if (cell.code == kCellMonth) *month = value;
      else if (cell.code == kCellDay) *day = value;
      else if (cell.code == kCellYear) {
        *year = value;
        *year_digits = len;
      } else {
        return false;
      }
    }
    k += len;
  }
  *month_out = m;
  *day_out = d;
  *year_out = y;
  *year_digits_out = yd;
  return true;
}

// Text laid out cell for cell as FORMAT writes it (the picture's width, its
// separators and literals in place) shows the leading zeros of a digit run
// as the cells' fill; inside a run without separators ("*555*0" for 5:55:00
// in @T*5) such a fill would split the digits, so it is read as the zero it
// stands for. Other text is left as typed.
std::string FillsAsZeros(std::string_view text, const Picture& p) {
  std::string work(text);
  if (work.size() != p.width) return work;
  for (int k = 0; k < p.width; ++k) {
    uint8_t code = p.cells[k].code;
    if ((code == kCellLiteral || code == kCellSeparator) && work[k] != p.cells[k].ch) return work;
  }
  for (int k = 0; k < p.width; ++k) {
    uint8_t code = p.cells[k].code;
    bool digit = code == kCellHour || code == kCellMinute || code == kCellSecond;
    if (digit && work[k] == p.cells[k].ch) work[k] = '0';
  }
  return work;
}

}  // namespace

size_t FormatDate(int32_t date, const Picture& p, char* out) {
  DateParts parts;
  if (DateToParts(date, &parts) != 0) return Blank(p, out);
  int k = 0;
  while (k < p.width) {
    uint8_t code = p.cells[k].code;
    if (code == kCellLiteral || code == kCellSeparator) {
      out[k] = p.cells[k].ch;
      ++k;
      continue;
    }
    int len = RunLength(p, k);
    switch (code) {
      case kCellMonth: PutDigits(p, k, len, parts.month, out); break;
      case kCellDay: PutDigits(p, k, len, parts.day, out); break;
      case kCellYear: PutDigits(p, k, len, parts.year, out); break;
      case kCellMonthName: PutText(p, k, len, LongMonthName(parts.month), out); break;
      default: PutText(p, k, len, {}, out); break;
    }
    k += len;
  }
  return p.width;
}

size_t FormatTime(int32_t time, const Picture& p, char* out) {
  TimeParts parts;
  if (TimeToParts(time, &parts) != 0) return Blank(p, out);
  bool twelve_hour = false;
  for (int k = 0; k < p.width; ++k) twelve_hour |= p.cells[k].code == kCellDayHalf;
  bool afternoon = parts.hours >= 12;
  int hours = parts.hours;
  if (twelve_hour) {
    hours %= 12;
    if (hours == 0) hours = 12;
  }
  int k = 0;
  while (k < p.width) {
    uint8_t code = p.cells[k].code;
    if (code == kCellLiteral || code == kCellSeparator) {
      out[k] = p.cells[k].ch;
      ++k;
      continue;
    }
    int len = RunLength(p, k);
    switch (code) {
      case kCellHour: PutDigits(p, k, len, hours, out); break;
      case kCellMinute: PutDigits(p, k, len, parts.minutes, out); break;
      case kCellSecond: PutDigits(p, k, len, parts.seconds, out); break;
      case kCellDayHalf: {
        std::string_view mark;
        if (p.flags & kPicSystemMarks) {
          const SystemIntlSettings& s = SystemIntl();
          mark = afternoon ? s.s2359 : s.s1159;
        } else {
          mark = afternoon ? AfternoonMark() : MorningMark();
        }
        for (int i = 0; i < len; ++i)
          out[k + i] = i < static_cast<int>(mark.size()) ? mark[i] : ' ';
        break;
      }
      default: PutText(p, k, len, {}, out); break;
    }
    k += len;
  }
  return p.width;
}

DeformatResult DeformatDate(std::string_view text, const Picture& p) {
  DeformatResult r;
  r.value = "0";
  if (IsBlank(text)) return r;
  // The picture's fields in order, with the digit widths of their runs.
  char order[3];
  int widths[3];
  int fields = 0;
  for (int k = 0; k < p.width;) {
    uint8_t code = p.cells[k].code;
    int len = (code == kCellLiteral || code == kCellSeparator) ? 1 : RunLength(p, k);
    char f = code == kCellMonth || code == kCellMonthName ? 'm'
             : code == kCellDay                           ? 'd'
             : code == kCellYear                          ? 'y'
                                                          : 0;
    if (f != 0 && fields < 3 && std::memchr(order, f, fields) == nullptr) {
      order[fields] = f;
      widths[fields++] = code == kCellMonthName ? 2 : len;
    }
    k += len;
  }
  r.ok = false;
  // Text laid out exactly as FORMAT writes it: the fill after a month name
  // (which may be "0" or "*") is not part of what was typed.
  std::string work(text);
  if (work.size() == p.width) {
    for (int k = 0; k < p.width;) {
      int len = RunLength(p, k);
      if (p.cells[k].code == kCellMonthName) {
        for (int i = k + len - 1; i > k && work[i] == p.cells[i].ch; --i) work[i] = ' ';
      }
      k += len;
    }
  }
  int month = 0, day = 0, year = 0, year_digits = 0;
  if (ReadByLayout(work, p, &month, &day, &year, &year_digits)) {
    if (year_digits <= 2) year = ExpandYearFrom(year, p.century_window, CurrentYear());
    if (std::memchr(order, 'd', fields) == nullptr) day = 1;
    if (std::memchr(order, 'y', fields) == nullptr) year = CurrentYear();
    if (year < 1801 || ValidateDate(month, day, year) != 0) return r;
    r.ok = true;
    r.value = std::to_string(DaysFromCivil(year, month, day));
    return r;
  }
  Token tokens[8];
  bool too_many;
  int n = Tokenize(work, tokens, &too_many);
  if (too_many || n == 0 || fields == 0) return r;
  int numbers[3];
  std::string_view number_text[3];
  int count = 0;
  for (int i = 0; i < n; ++i) {
    if (!tokens[i].number) {
      if (month != 0) return r;
      month = MonthFromWord(tokens[i].text);
      if (month == 0) return r;
    } else {
      if (count == 3) return r;
      number_text[count] = tokens[i].text;
      numbers[count++] = ToInt(tokens[i].text);
    }
  }
  // One run of digits for a picture of several fields: split it by widths.
  if (count == 1 && month == 0 && fields > 1) {
    std::string_view run = number_text[0];
    int total = 0, year_width = 0;
    for (int f = 0; f < fields; ++f) {
      total += widths[f];
      if (order[f] == 'y') year_width = widths[f];
    }
    int short_year = (year_width == 4 && static_cast<int>(run.size()) == total - 2) ? 2 : 0;
    if (static_cast<int>(run.size()) != total && short_year == 0) return r;
    size_t at = 0;
    count = 0;
    for (int f = 0; f < fields; ++f) {
      size_t w = static_cast<size_t>(order[f] == 'y' && short_year ? 2 : widths[f]);
      number_text[count] = run.substr(at, w);
      numbers[count++] = ToInt(run.substr(at, w));
      at += w;
    }
  }
  // Assign the numbers to the fields still open, in the picture's order.
  char open[3];
  int open_count = 0;
  for (int f = 0; f < fields; ++f)
    if (!(order[f] == 'm' && month != 0)) open[open_count++] = order[f];
  bool year_missing = false;
  if (fields == 3 && count == open_count - 1) {
    // Everything but the year: this year.
    int w = 0;
    for (int f = 0; f < open_count; ++f)
      if (open[f] != 'y') open[w++] = open[f];
    open_count = w;
    year_missing = true;
  }
  if (count != open_count) return r;
  for (int f = 0; f < open_count; ++f) {
    if (open[f] == 'm') month = numbers[f];
    if (open[f] == 'd') day = numbers[f];
    if (open[f] == 'y') {
      year = numbers[f];
      year_digits = static_cast<int>(number_text[f].size());
    }
  }
  if (year_missing) {
    year = CurrentYear();
    year_digits = 4;
  }
  if (std::memchr(order, 'd', fields) == nullptr) day = 1;
  if (std::memchr(order, 'y', fields) == nullptr) year = CurrentYear();
  else if (year_digits <= 2) year = ExpandYearFrom(year, p.century_window, CurrentYear());
  if (year < 1801 || ValidateDate(month, day, year) != 0) return r;
  r.ok = true;
  r.value = std::to_string(DaysFromCivil(year, month, day));
  return r;
}

DeformatResult DeformatTime(std::string_view text, const Picture& p) {
  DeformatResult r;
  r.value = "0";
  if (IsBlank(text)) return r;
  r.ok = false;
  std::string work = FillsAsZeros(text, p);
  Token tokens[8];
  bool too_many;
  int n = Tokenize(work, tokens, &too_many);
  if (too_many || n == 0) return r;
  int half = 0;  // 1 morning, 2 afternoon
  int parts[4] = {0, 0, 0, 0};
  std::string_view part_text[4];
  int count = 0;
  const SystemIntlSettings& s = SystemIntl();
  for (int i = 0; i < n; ++i) {
    std::string_view t = tokens[i].text;
    if (!tokens[i].number) {
      if (half != 0) return r;
      if (EqualNoCase(t, MorningMark()) || EqualNoCase(t, s.s1159) || EqualNoCase(t, "a")) half = 1;
      else if (EqualNoCase(t, AfternoonMark()) || EqualNoCase(t, s.s2359) || EqualNoCase(t, "p"))
        half = 2;
      else return r;
      continue;
    }
    if (count == 4) return r;
    part_text[count] = t;
    parts[count++] = ToInt(t);
  }
  if (count == 0) return r;
  if (count == 1 && part_text[0].size() > 2) {
    // hmm, hhmm, hmmss, hhmmss, hhmmsscc
    std::string_view run = part_text[0];
    size_t h = (run.size() % 2 == 1) ? 1 : 2;
    if (run.size() > 8) return r;
    parts[0] = ToInt(run.substr(0, h));
    count = 1;
    for (size_t at = h; at < run.size(); at += 2) {
      part_text[count] = run.substr(at, 2);
      parts[count++] = ToInt(run.substr(at, 2));
    }
  }
  for (int i = 1; i < count; ++i)
    if (part_text[i].size() > 2) return r;
  if (count == 4 && part_text[3].size() == 1) parts[3] *= 10;  // ".5" seconds
  int hours = parts[0];
  if (half != 0) {
    if (hours < 1 || hours > 12) return r;
    if (half == 1 && hours == 12) hours = 0;
    if (half == 2 && hours < 12) hours += 12;
  }
  if (hours > 23 || parts[1] > 59 || parts[2] > 59 || parts[3] > 99) return r;
  r.ok = true;
  r.value = std::to_string(hours * 360000 + parts[1] * 6000 + parts[2] * 100 + parts[3] + 1);
  return r;
}

}  // namespace kor
