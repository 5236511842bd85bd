// DEFORMAT for the date (@D) and time (@T) pictures: text typed or shown
// back into a day count or a time value.
//
// A date is read in one of two ways: text laid out cell for cell as FORMAT
// shows it, or else free text split into runs of digits and letters that are
// given to the picture's fields in the picture's order (a month name may
// stand anywhere; one run of digits is cut by the fields' widths).
#include <cstring>
#include <string>

#include "runtime/locale/locale.h"
#include "runtime/os/ascii.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/picture_cells.h"

namespace kor {

namespace {

struct Token {
  std::string_view text;
  bool number;
};

// 1 for a digit, 2 for a letter (any byte from 128 counts as one), else 0.
int CharClass(char c) {
  if (IsAsciiDigit(c)) return 1;
  if (IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 128) return 2;
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
    bool match = EqualIgnoringAsciiCase(word, ShortMonthName(m)) ||
                 (word.size() >= 3 && word.size() <= lng.size() &&
                  EqualIgnoringAsciiCase(word, lng.substr(0, word.size())));
    if (match) {
      if (found != 0 && found != m) return 0;
      found = m;
    }
  }
  return found;
}

// The date fields of a picture, in the picture's order: 'm', 'd' or 'y',
// each with the digits its run holds (2 for a month name).
struct DateFields {
  char order[3] = {};
  int widths[3] = {};
  int count = 0;

  bool Has(char field) const { return std::memchr(order, field, count) != nullptr; }
};

DateFields PictureDateFields(const Picture& p) {
  DateFields fields;
  for (int k = 0; k < p.width;) {
    uint8_t code = p.cells[k].code;
    int len = (code == kCellLiteral || code == kCellSeparator) ? 1 : CellRunLength(p, k);
    char f = code == kCellMonth || code == kCellMonthName ? 'm'
             : code == kCellDay                           ? 'd'
             : code == kCellYear                          ? 'y'
                                                          : 0;
    if (f != 0 && fields.count < 3 && !fields.Has(f)) {
      fields.order[fields.count] = f;
      fields.widths[fields.count++] = code == kCellMonthName ? 2 : len;
    }
    k += len;
  }
  return fields;
}

// Text laid out exactly as FORMAT writes it, with the fill after a month
// name (which may be "0" or "*") made blank: it is not part of what was
// typed.
std::string WithoutMonthNameFill(std::string_view text, const Picture& p) {
  std::string work(text);
  if (work.size() != p.width) return work;
  for (int k = 0; k < p.width;) {
    int len = CellRunLength(p, k);
    if (p.cells[k].code == kCellMonthName) {
      for (int i = k + len - 1; i > k && work[i] == p.cells[i].ch; --i) work[i] = ' ';
    }
    k += len;
  }
  return work;
}

// What was read of a date; 0 for a part not read. `year_digits` is how many
// digits gave the year (two or fewer: within the century window).
struct DateRead {
  int month = 0;
  int day = 0;
  int year = 0;
  int year_digits = 0;
};

// Reads one run of digits or fill of a layout; false when it holds anything
// else or no digit at all.
bool ReadDigitRun(std::string_view text, const Picture& p, int k, int len, int* value) {
  *value = 0;
  bool digit_seen = false;
  for (int i = k; i < k + len; ++i) {
    char c = text[i];
    if (IsAsciiDigit(c)) {
      *value = *value * 10 + (c - '0');
      digit_seen = true;
    } else if (!digit_seen && (c == p.cells[i].ch || c == ' ')) {
      *value *= 10;  // a leading zero shown as its fill
    } else {
      return false;
    }
  }
  return digit_seen;
}

// Reads text laid out cell for cell as the picture shows it (what FORMAT
// wrote, fills and all). False when the text does not have that layout;
// `out` is left alone then.
bool ReadByLayout(std::string_view text, const Picture& p, DateRead* out) {
  if (text.size() != p.width) return false;
  DateRead d;
  for (int k = 0; k < p.width;) {
    const PictureCell& cell = p.cells[k];
    if (cell.code == kCellLiteral || cell.code == kCellSeparator) {
      if (text[k] != cell.ch) return false;
      ++k;
      continue;
    }
    int len = CellRunLength(p, k);
    if (cell.code == kCellMonthName) {
      d.month = MonthFromWord(TrimTrailingBlanks(text.substr(k, len)));
      if (d.month == 0) return false;
    } else {
      int value = 0;
      if (!ReadDigitRun(text, p, k, len, &value)) return false;
      if (cell.code == kCellMonth) d.month = value;
      else if (cell.code == kCellDay) d.day = value;
      else if (cell.code == kCellYear) {
        d.year = value;
        d.year_digits = len;
      } else {
        return false;
      }
    }
    k += len;
  }
  *out = d;
  return true;
}

// The numbers of free text, at most three, in order.
struct DateNumbers {
  int values[3] = {};
  std::string_view texts[3];
  int count = 0;

  void Add(std::string_view text) {
    texts[count] = text;
    values[count++] = ToInt(text);
  }
};

// Splits free text into at most three numbers and at most one month name
// (into d->month). False for anything else.
bool ReadTokens(std::string_view text, DateRead* d, DateNumbers* numbers) {
  Token tokens[8];
  bool too_many;
  int n = Tokenize(text, tokens, &too_many);
  if (too_many || n == 0) return false;
  for (int i = 0; i < n; ++i) {
    if (!tokens[i].number) {
      if (d->month != 0) return false;
      d->month = MonthFromWord(tokens[i].text);
      if (d->month == 0) return false;
    } else {
      if (numbers->count == 3) return false;
      numbers->Add(tokens[i].text);
    }
  }
  return true;
}

// One run of digits for a picture of several fields is cut by the fields'
// widths; a four-digit year may be typed with two. False when the run has
// neither length.
bool SplitDigitRun(const DateFields& fields, DateNumbers* numbers) {
  std::string_view run = numbers->texts[0];
  int total = 0, year_width = 0;
  for (int f = 0; f < fields.count; ++f) {
    total += fields.widths[f];
    if (fields.order[f] == 'y') year_width = fields.widths[f];
  }
  int short_year = (year_width == 4 && static_cast<int>(run.size()) == total - 2) ? 2 : 0;
  if (static_cast<int>(run.size()) != total && short_year == 0) return false;
  size_t at = 0;
  numbers->count = 0;
  for (int f = 0; f < fields.count; ++f) {
    size_t w = static_cast<size_t>(fields.order[f] == 'y' && short_year ? 2 : fields.widths[f]);
    numbers->Add(run.substr(at, w));
    at += w;
  }
  return true;
}

// Gives the numbers to the fields still open (the month may have come as a
// name), in the picture's order. A three-field picture given one number too
// few lacks its year: this year. False when the count does not fit.
bool AssignNumbers(const DateFields& fields, const DateNumbers& numbers, DateRead* d) {
  char open[3];
  int open_count = 0;
  for (int f = 0; f < fields.count; ++f)
    if (!(fields.order[f] == 'm' && d->month != 0)) open[open_count++] = fields.order[f];
  bool year_missing = false;
  if (fields.count == 3 && numbers.count == open_count - 1) {
    int w = 0;
    for (int f = 0; f < open_count; ++f)
      if (open[f] != 'y') open[w++] = open[f];
    open_count = w;
    year_missing = true;
  }
  if (numbers.count != open_count) return false;
  for (int f = 0; f < open_count; ++f) {
    if (open[f] == 'm') d->month = numbers.values[f];
    if (open[f] == 'd') d->day = numbers.values[f];
    if (open[f] == 'y') {
      d->year = numbers.values[f];
      d->year_digits = static_cast<int>(numbers.texts[f].size());
    }
  }
  if (year_missing) {
    d->year = CurrentYear();
    d->year_digits = 4;
  }
  return true;
}

// Reads free text against the picture's fields.
bool ReadFreeText(std::string_view text, const DateFields& fields, DateRead* d) {
  DateNumbers numbers;
  if (!ReadTokens(text, d, &numbers) || fields.count == 0) return false;
  if (numbers.count == 1 && d->month == 0 && fields.count > 1 && !SplitDigitRun(fields, &numbers)) {
    return false;
  }
  return AssignNumbers(fields, numbers, d);
}

// The day count of what was read: a picture without a day means the 1st,
// one without a year this year, and a year of two digits or fewer lies in
// the century window. A date before 1801 or not in the calendar fails.
DeformatResult DayCount(DateRead d, const DateFields& fields, const Picture& p) {
  DeformatResult r;
  r.ok = false;
  r.value = "0";
  if (!fields.Has('d')) d.day = 1;
  if (!fields.Has('y')) d.year = CurrentYear();
  else if (d.year_digits <= 2) d.year = ExpandYearFrom(d.year, p.century_window, CurrentYear());
  if (d.year < 1801 || ValidateDate(d.month, d.day, d.year) != 0) return r;
  r.ok = true;
  r.value = std::to_string(DaysFromCivil(d.year, d.month, d.day));
  return r;
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

DeformatResult DeformatDate(std::string_view text, const Picture& p) {
  DeformatResult r;
  r.value = "0";
  if (IsBlankText(text)) return r;
  DateFields fields = PictureDateFields(p);
  std::string work = WithoutMonthNameFill(text, p);
  DateRead d;
  if (ReadByLayout(work, p, &d) || ReadFreeText(work, fields, &d)) return DayCount(d, fields, p);
  r.ok = false;
  return r;
}

DeformatResult DeformatTime(std::string_view text, const Picture& p) {
  DeformatResult r;
  r.value = "0";
  if (IsBlankText(text)) return r;
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
      if (EqualIgnoringAsciiCase(t, MorningMark()) || EqualIgnoringAsciiCase(t, s.s1159) ||
          EqualIgnoringAsciiCase(t, "a"))
        half = 1;
      else if (EqualIgnoringAsciiCase(t, AfternoonMark()) || EqualIgnoringAsciiCase(t, s.s2359) ||
               EqualIgnoringAsciiCase(t, "p"))
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
