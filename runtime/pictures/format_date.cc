// FORMAT for the date (@D) and time (@T) pictures (DEFORMAT is in
// deformat_date.cc).
#include <cstring>

#include "runtime/locale/locale.h"
#include "runtime/pictures/dates.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/picture_cells.h"

namespace kor {

namespace {

size_t Blank(const Picture& p, char* out) {
  std::memset(out, ' ', p.width);
  return p.width;
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
    int len = CellRunLength(p, k);
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
    int len = CellRunLength(p, k);
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

}  // namespace kor
