// Date and time cell layouts, the system patterns and the texts they show.
#include "runtime/pictures/picture_cells.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/locale/locale.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

// Templates: m month, d day, y year digit; N month-name letter; h hour,
// n minute, s second digit; A day-half cell; "/" ":" and " " separators;
// "," and "_" (a blank) literals.
struct Layout {
  const char* cells;
  char month_first_fill;  // fill of the first month digit
  char day_first_fill;    // fill of the first day digit
};

constexpr Layout kDateLayouts[17] = {
    {"", '0', '0'},
    {"mm/dd/yy", ' ', '0'},
    {"mm/dd/yyyy", ' ', '0'},
    {"NNN dd,yyyy", '0', ' '},
    {"NNNNNNNNNNNN dd,_yyyy", '0', ' '},
    {"dd/mm/yy", '0', ' '},
    {"dd/mm/yyyy", '0', ' '},
    {"dd NNN yy", '0', ' '},
    {"dd NNN yyyy", '0', ' '},
    {"yy/mm/dd", '0', '0'},
    {"yyyy/mm/dd", '0', '0'},
    {"yymmdd", '0', '0'},
    {"yyyymmdd", '0', '0'},
    {"mm/yy", '0', '0'},
    {"mm/yyyy", '0', '0'},
    {"yy/mm", '0', '0'},
    {"yyyy/mm", '0', '0'},
};

// Only @T1 shows the hour's leading zero blank; every other layout shows it.
constexpr const char* kTimeLayouts[7] = {
    "", "hh:nn", "hhnn", "hh:nnAA", "hh:nn:ss", "hhnnss", "hh:nn:ssAA",
};

void BuildFromTemplate(const char* t, char month_first, char day_first, Picture* p) {
  int w = 0;
  char prev = 0;
  for (const char* c = t; *c != 0; ++c) {
    PictureCell cell{'0', kCellLiteral};
    bool run_start = *c != prev;
    switch (*c) {
      case 'm': cell = {run_start ? month_first : '0', kCellMonth}; break;
      case 'd': cell = {run_start ? day_first : '0', kCellDay}; break;
      case 'y': cell = {'0', kCellYear}; break;
      case 'N': cell = {' ', kCellMonthName}; break;
      case 'h': cell = {run_start ? day_first : '0', kCellHour}; break;
      case 'n': cell = {'0', kCellMinute}; break;
      case 's': cell = {'0', kCellSecond}; break;
      case 'A': cell = {' ', kCellDayHalf}; break;
      case '/':
      case ':':
      case ' ': cell = {*c, kCellSeparator}; break;
      case '_': cell = {' ', kCellLiteral}; break;
      default: cell = {*c, kCellLiteral}; break;
    }
    p->cells[w++] = cell;
    prev = *c;
  }
  p->width = static_cast<uint8_t>(w);
}

bool AddCell(Picture* p, int* w, PictureCell cell) {
  if (*w >= kMaxPictureWidth) return false;
  p->cells[(*w)++] = cell;
  return true;
}

bool BuildSystemTime(bool long_form, Picture* p) {
  const SystemIntlSettings& s = SystemIntl();
  char hour_fill = s.iTLzero ? '0' : ' ';
  char sep = s.sTime == 0 ? ':' : s.sTime;
  int w = 0;
  AddCell(p, &w, {hour_fill, kCellHour});
  AddCell(p, &w, {'0', kCellHour});
  AddCell(p, &w, {sep, kCellSeparator});
  AddCell(p, &w, {'0', kCellMinute});
  AddCell(p, &w, {'0', kCellMinute});
  if (long_form) {
    AddCell(p, &w, {sep, kCellSeparator});
    AddCell(p, &w, {'0', kCellSecond});
    AddCell(p, &w, {'0', kCellSecond});
  }
  if (s.iTime == 0) {
    AddCell(p, &w, {' ', kCellLiteral});
    AddCell(p, &w, {' ', kCellDayHalf});
    AddCell(p, &w, {' ', kCellDayHalf});
    p->flags |= kPicSystemMarks;
  }
  p->width = static_cast<uint8_t>(w);
  return true;
}

}  // namespace

bool BuildDateCells(int n, Picture* p) {
  if (n < 1 || n > 18) return false;
  if (n >= 17) {
    const SystemIntlSettings& s = SystemIntl();
    if (CellsFromDatePattern(n == 17 ? s.sShortDate : s.sLongDate, p)) return true;
    // A pattern the system cannot have meant: fall back to its default.
    return CellsFromDatePattern(n == 17 ? "MM/dd/yy" : "MMMM' 'dd', 'yyyy", p);
  }
  const Layout& l = kDateLayouts[n];
  BuildFromTemplate(l.cells, l.month_first_fill, l.day_first_fill, p);
  return true;
}

bool BuildTimeCells(int n, Picture* p) {
  if (n < 1 || n > 8) return false;
  if (n >= 7) return BuildSystemTime(n == 8, p);
  char hour_fill = n == 1 ? ' ' : '0';
  BuildFromTemplate(kTimeLayouts[n], '0', hour_fill, p);
  return true;
}

bool CellsFromDatePattern(std::string_view pattern, Picture* p) {
  int w = 0;
  size_t month_name_width = 3;
  for (int m = 1; m <= 12; ++m)
    month_name_width = std::max(month_name_width, std::strlen(LongMonthName(m)));
  bool skipping = false;  // after a day name or era: drop its punctuation
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == '\'') {
      size_t j = i + 1;
      std::string text;
      while (j < pattern.size()) {
        if (pattern[j] == '\'') {
          if (j + 1 < pattern.size() && pattern[j + 1] == '\'') {
            text += '\'';
            j += 2;
            continue;
          }
          break;
        }
        text += pattern[j++];
      }
      i = j + 1;
      if (skipping) continue;
      for (char t : text)
        if (!AddCell(p, &w, {t, kCellLiteral})) return false;
      continue;
    }
    if (!IsAsciiLetter(c)) {
      ++i;
      if (skipping) continue;
      if (!AddCell(p, &w, {c, kCellSeparator})) return false;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    i += run;
    bool ok = true;
    skipping = false;
    switch (c) {
      case 'd':
        if (run >= 3) {
          skipping = true;
          break;
        }
        ok = AddCell(p, &w, {run == 1 ? ' ' : '0', kCellDay}) && AddCell(p, &w, {'0', kCellDay});
        break;
      case 'M':
        if (run >= 3) {
          size_t count = run == 3 ? 3 : month_name_width;
          for (size_t k = 0; k < count && ok; ++k) ok = AddCell(p, &w, {' ', kCellMonthName});
        } else {
          ok = AddCell(p, &w, {run == 1 ? ' ' : '0', kCellMonth}) &&
               AddCell(p, &w, {'0', kCellMonth});
        }
        break;
      case 'y':
        for (size_t k = 0; k < (run >= 3 ? 4u : 2u) && ok; ++k)
          ok = AddCell(p, &w, {'0', kCellYear});
        break;
      case 'g': skipping = true; break;
      default:
        for (size_t k = 0; k < run && ok; ++k) ok = AddCell(p, &w, {c, kCellLiteral});
        break;
    }
    if (!ok) return false;
  }
  // Punctuation left dangling at the end by a dropped day name goes too.
  while (w > 0 &&
         (p->cells[w - 1].code == kCellSeparator || p->cells[w - 1].code == kCellLiteral) &&
         (p->cells[w - 1].ch == ' ' || p->cells[w - 1].ch == ','))
    --w;
  bool has_field = false;
  for (int k = 0; k < w; ++k)
    if (p->cells[k].code != kCellLiteral && p->cells[k].code != kCellSeparator) has_field = true;
  if (!has_field) return false;
  p->width = static_cast<uint8_t>(w);
  return true;
}

int CellRunLength(const Picture& p, int k) {
  int end = k + 1;
  while (end < p.width && p.cells[end].code == p.cells[k].code) ++end;
  return end - k;
}

}  // namespace kor
