// FORMAT and DEFORMAT for the numeric pictures: @N, @E and @P.
#include <cstring>

#include "runtime/os/ascii.h"
#include "runtime/pictures/format.h"
#include "runtime/pictures/format_digits.h"

namespace kor {

namespace {

size_t Fill(char* out, size_t width, char c) {
  std::memset(out, c, width);
  return width;
}

size_t Overflow(const Picture& p, char* out) { return Fill(out, p.width, '#'); }

char DigitChar(int d) { return static_cast<char>('0' + d); }

}  // namespace

// Layout, right to left: [trailing currency] [trailing sign] [places and
// their indicator] [integer digits, grouped] [fill] [leading sign]
// [leading currency]. Without a fill the leading parts sit next to the
// digits and blanks pad the left; with one they stay at the left edge and the
// fill ("0" digits, grouped like the number; "*" or blank) lies between.
// Without a sign element a negative number shows "-" before its digits.
size_t FormatNumeric(const Digits& value, const Picture& p, char* out) {
  const NumericLayout& n = p.numeric;
  const int width = p.width;
  Digits v = value;
  RoundDigits(&v, n.places);
  if (!v.finite) return Overflow(p, out);
  if (v.IsZero() && (p.flags & kPicBlankWhenZero)) return Fill(out, width, ' ');
  const bool neg = v.negative;
  int pos = width;
  if (n.currency_trailing) {
    for (int k = n.currency_length - 1; k >= 0; --k) out[--pos] = p.cells[k].ch;
  }
  if (n.sign == NumericSign::kTrailingMinus) out[--pos] = neg ? '-' : ' ';
  if (n.sign == NumericSign::kParentheses) out[--pos] = neg ? ')' : ' ';
  if (n.places > 0) {
    for (int power = -n.places; power <= -1; ++power) out[--pos] = DigitChar(v.At(power));
    if (n.point != 'v') out[--pos] = n.point;
  }
  int lead = 0;
  if (!n.currency_trailing) lead += n.currency_length;
  if (n.sign == NumericSign::kLeadingMinus || n.sign == NumericSign::kParentheses) ++lead;
  bool float_minus = neg && n.sign == NumericSign::kNone;
  if (float_minus) ++lead;
  int room = pos - lead;  // characters for the integer part and the fill
  int digits = v.IntegerDigits();
  int needed = digits + (n.grouping != 0 && digits > 0 ? (digits - 1) / 3 : 0);
  if (needed > room) return Overflow(p, out);
  // A value below 1 shows its "0" when there is room for it.
  bool zero_units = digits == 0 && room > 0;
  int shown = digits > 0 ? digits : (zero_units ? 1 : 0);
  int written = 0;  // digits written so far, for the grouping
  for (int k = 0; k < shown; ++k) {
    if (n.grouping != 0 && written > 0 && written % 3 == 0) out[--pos] = n.grouping;
    out[--pos] = DigitChar(v.At(k));
    ++written;
  }
  int fill_end = lead;  // the fill runs from here to pos
  if (n.fill == '0') {
    while (pos > fill_end) {
      if (n.grouping != 0 && written > 0 && written % 3 == 0) {
        if (pos - 1 == fill_end) {
          out[--pos] = ' ';  // no room for a digit after the separator
          break;
        }
        out[--pos] = n.grouping;
      }
      out[--pos] = '0';
      ++written;
    }
  } else if (n.fill != 0) {
    while (pos > fill_end) out[--pos] = n.fill;
  }
  // Leading parts: right before the digits (no fill) or at the left edge.
  int at = n.fill == 0 ? pos - lead : 0;
  for (int k = 0; k < at; ++k) out[k] = ' ';
  if (!n.currency_trailing)
    for (int k = 0; k < n.currency_length; ++k) out[at++] = p.cells[k].ch;
  if (n.sign == NumericSign::kLeadingMinus) out[at++] = neg ? '-' : ' ';
  if (n.sign == NumericSign::kParentheses) out[at++] = neg ? '(' : ' ';
  if (float_minus) out[at++] = '-';
  return static_cast<size_t>(width);
}

size_t FormatScientific(const Digits& value, const Picture& p, char* out) {
  const int width = p.width;
  const int places = p.numeric.places;
  Digits v = value;
  if (!v.finite) return Overflow(p, out);
  int exponent = 0;
  if (!v.IsZero()) {
    RoundDigits(&v, places - (v.point - 1));
    exponent = v.point - 1;  // a carry (9.99 → 10.0) has moved the point
  }
  if (v.IsZero() && (p.flags & kPicBlankWhenZero)) return Fill(out, width, ' ');
  char buf[300];
  int len = 0;
  if (v.negative) buf[len++] = '-';
  buf[len++] = DigitChar(v.IsZero() ? 0 : v.d[0]);
  if (places > 0) {
    buf[len++] = p.numeric.point;
    for (int k = 1; k <= places; ++k) buf[len++] = DigitChar(k < v.count ? v.d[k] : 0);
  }
  buf[len++] = 'e';
  buf[len++] = exponent < 0 ? '-' : '+';
  int mag = exponent < 0 ? -exponent : exponent;
  char e[8];
  int elen = 0;
  do {
    e[elen++] = DigitChar(mag % 10);
    mag /= 10;
  } while (mag != 0 || elen < 2);
  while (elen > 0) buf[len++] = e[--elen];
  if (len > width) return Overflow(p, out);
  std::memset(out, ' ', width - len);
  std::memcpy(out + (width - len), buf, len);
  return static_cast<size_t>(width);
}

size_t FormatPattern(const Digits& value, const Picture& p, char* out) {
  const int width = p.width;
  Digits v = value;
  RoundDigits(&v, 0);
  if (!v.finite) return Overflow(p, out);
  if (v.IsZero() && (p.flags & kPicBlankWhenZero)) return Fill(out, width, ' ');
  // Digits right-aligned into the digit cells.
  int power = 0, last_digit_cell = -1;
  for (int k = width - 1; k >= 0; --k) {
    uint8_t code = p.cells[k].code;
    if (code == kCellDigit || code == kCellDigitBlank) {
      out[k] = DigitChar(v.At(power++));
      if (last_digit_cell < 0) last_digit_cell = k;
    } else {
      out[k] = p.cells[k].ch;
    }
  }
  if (v.IntegerDigits() > power) return Overflow(p, out);
  // Leading zeros of "<" cells, and literals among them, show blank.
  bool leading = true, digit_seen = false;
  int minus_at = -1;
  for (int k = 0; k < width && leading; ++k) {
    uint8_t code = p.cells[k].code;
    if (code == kCellDigit || code == kCellDigitBlank) {
      if (out[k] == '0' && code == kCellDigitBlank && k != last_digit_cell) {
        out[k] = ' ';
        minus_at = k;
        digit_seen = true;
      } else {
        leading = false;
      }
    } else if (digit_seen) {
      out[k] = ' ';
    }
  }
  if (v.negative) {
    if (minus_at < 0) return Overflow(p, out);
    out[minus_at] = '-';
  }
  return static_cast<size_t>(width);
}

// Reads a number as a person types it for an @N or @E picture.
DeformatResult DeformatNumeric(std::string_view text, const Picture& p) {
  DeformatResult r;
  const NumericLayout& n = p.numeric;
  const bool scientific = p.kind == PictureKind::kScientific;
  std::string work(text);
  if (n.currency_length > 0) {
    std::string cur;
    for (int k = 0; k < n.currency_length; ++k) cur += p.cells[k].ch;
    size_t at = work.find(cur);
    if (at != std::string::npos) work.erase(at, cur.size());
  }
  // The point a person may type: the picture's own, else "." unless the
  // number is grouped with "." (then ","), so that grouping is never taken
  // for the point ("@N15.v2" shows 1234.5 as "1.23450").
  char point = n.point == ',' ? ',' : '.';
  if ((n.point == 0 || n.point == 'v') && n.grouping == '.') point = ',';
  std::string clean;
  bool negative = false, seen_point = false, seen_exponent = false, any = false;
  for (size_t i = 0; i < work.size(); ++i) {
    char c = work[i];
    if (IsAsciiDigit(c)) {
      clean += c;
      any = true;
    } else if (c == point && !seen_point && !seen_exponent) {
      clean += '.';
      seen_point = true;
    } else if (scientific && (c == 'e' || c == 'E') && any && !seen_exponent) {
      clean += 'e';
      seen_exponent = true;
      if (i + 1 < work.size() && (work[i + 1] == '-' || work[i + 1] == '+')) clean += work[++i];
    } else if (c == '-' || c == '(') {
      negative = true;
    } else if (c == ' ' || c == '+' || c == ')' || c == '$' || (c == n.grouping && !seen_point) ||
               (c == '*' && n.fill == '*')) {
      // layout characters
    } else {
      r.ok = false;
    }
  }
  Digits v;
  if (!any) {
    // Blank text is zero; anything else unreadable is an error.
    if (!r.ok || !clean.empty()) r.ok = false;
    r.value = "0";
    return r;
  }
  if (!DigitsFromText(clean, '.', &v)) r.ok = false;
  if (n.point == 'v' && !seen_point && !seen_exponent) {
    v.point -= n.places;
    TrimDigits(&v);
  }
  v.negative = negative && !v.IsZero();
  r.value = DigitsToText(v);
  return r;
}

DeformatResult DeformatPattern(std::string_view text, const Picture& p) {
  DeformatResult r;
  Digits v;
  std::string digits;
  bool negative = false;
  bool exact = text.size() == p.width;
  for (size_t k = 0; exact && k < text.size(); ++k) {
    uint8_t code = p.cells[k].code;
    if (code == kCellLiteral && text[k] != p.cells[k].ch && text[k] != ' ') exact = false;
  }
  for (size_t k = 0; k < text.size(); ++k) {
    char c = text[k];
    if (exact && p.cells[k].code == kCellLiteral) continue;
    if (IsAsciiDigit(c)) {
      digits += c;
    } else if (c == '-') {
      negative = true;
    } else if (c != ' ') {
      bool literal = false;
      for (int j = 0; j < p.width && !literal; ++j)
        literal = p.cells[j].code == kCellLiteral && p.cells[j].ch == c;
      if (!literal) r.ok = false;
    }
  }
  if (digits.empty()) {
    r.value = "0";
    return r;
  }
  DigitsFromText(digits, '.', &v);
  v.negative = negative && !v.IsZero();
  r.value = DigitsToText(v);
  return r;
}

}  // namespace kor
