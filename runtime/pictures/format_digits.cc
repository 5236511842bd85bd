// Conversions between numbers, texts and exact decimal digits.
#include "runtime/pictures/format_digits.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "runtime/os/ascii.h"

namespace kor {

namespace {

void Append(Digits* v, int digit) {
  if (v->count == 0 && digit == 0) return;  // leading zero: nothing to store
  if (v->count < Digits::kMax) v->d[v->count++] = static_cast<uint8_t>(digit);
}

}  // namespace

void DigitsFromLong(int64_t value, Digits* out) {
  out->negative = value < 0;
  out->finite = true;
  uint64_t mag = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char buf[24];
  int n = 0;
  while (mag != 0) {
    buf[n++] = static_cast<char>(mag % 10);
    mag /= 10;
  }
  out->count = n;
  out->point = n;
  for (int i = 0; i < n; ++i) out->d[i] = static_cast<uint8_t>(buf[n - 1 - i]);
  TrimDigits(out);
}

void DigitsFromReal(double value, Digits* out) {
  out->count = 0;
  out->point = 0;
  out->negative = std::signbit(value);
  out->finite = std::isfinite(value);
  if (!out->finite || value == 0) {
    out->negative = out->negative && !out->finite;
    return;
  }
  // Shortest round-trip digits: "d.ddddde±xx".
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const char* p = buf;
  int exponent = 0;
  for (; p < r.ptr && *p != 'e'; ++p)
    if (IsAsciiDigit(*p)) Append(out, *p - '0');
  if (p < r.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, exponent);
  out->point = exponent + 1;
  TrimDigits(out);
}

bool DigitsFromText(std::string_view text, char point, Digits* out) {
  out->count = 0;
  out->point = 0;
  out->negative = false;
  out->finite = true;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) out->negative = text[i++] == '-';
  bool any = false, seen_point = false;
  int integer_digits = 0;
  int leading_fraction_zeros = 0;  // zeros after the point before any digit
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsAsciiDigit(c)) {
      any = true;
      if (out->count == 0 && c == '0') {
        if (seen_point) ++leading_fraction_zeros;
        continue;
      }
      Append(out, c - '0');
      if (!seen_point) ++integer_digits;
    } else if (!seen_point && (point == 0 ? (c == '.' || c == ',') : c == point)) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  out->point = integer_digits > 0 ? integer_digits : -leading_fraction_zeros;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool neg = false;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) neg = text[j++] == '-';
    int e = 0;
    bool digits = false;
    for (; j < text.size() && IsAsciiDigit(text[j]); ++j) {
      if (e < 100000) e = e * 10 + (text[j] - '0');
      digits = true;
    }
    if (!digits) return false;
    out->point += neg ? -e : e;
    i = j;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  TrimDigits(out);
  return i == text.size();
}

void RoundDigits(Digits* v, int places) {
  int keep = v->point + places;  // digits that stay
  if (keep >= v->count) return;
  if (keep < 0) {
    v->count = 0;
    TrimDigits(v);
    return;
  }
  bool up = v->d[keep] >= 5;
  v->count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && v->d[i] == 9) v->d[i--] = 0;
    if (i >= 0) {
      ++v->d[i];
    } else {
      // All nines (or nothing kept): the carry makes a new leading 1.
      v->d[0] = 1;
      v->count = 1;
      ++v->point;
    }
  }
  TrimDigits(v);
}

void TrimDigits(Digits* v) {
  while (v->count > 0 && v->d[v->count - 1] == 0) --v->count;
  if (v->count == 0) {
    v->point = 0;
    if (v->finite) v->negative = false;
  }
}

std::string DigitsToText(const Digits& v) {
  if (!v.finite) return v.negative ? "-inf" : "inf";
  if (v.count == 0) return "0";
  std::string s;
  if (v.negative) s += '-';
  if (v.point > 60 || v.point < -60) {
    s += static_cast<char>('0' + v.d[0]);
    if (v.count > 1) {
      s += '.';
      for (int i = 1; i < v.count; ++i) s += static_cast<char>('0' + v.d[i]);
    }
    char e[16];
    std::snprintf(e, sizeof e, "e%+d", v.point - 1);
    return s + e;
  }
  if (v.point <= 0) {
    s += "0.";
    s.append(static_cast<size_t>(-v.point), '0');
    for (int i = 0; i < v.count; ++i) s += static_cast<char>('0' + v.d[i]);
    return s;
  }
  for (int i = 0; i < v.point; ++i) s += static_cast<char>('0' + (i < v.count ? v.d[i] : 0));
  if (v.count > v.point) {
    s += '.';
    for (int i = v.point; i < v.count; ++i) s += static_cast<char>('0' + v.d[i]);
  }
  return s;
}

int64_t DigitsToLong(const Digits& v) {
  if (v.count == 0 || v.point <= 0) return 0;
  if (!v.finite || v.point > 19) return v.negative ? INT64_MIN : INT64_MAX;
  uint64_t mag = 0;
  for (int i = 0; i < v.point; ++i) {
    int digit = i < v.count ? v.d[i] : 0;
    if (mag > (UINT64_MAX - digit) / 10) return v.negative ? INT64_MIN : INT64_MAX;
    mag = mag * 10 + digit;
  }
  if (v.negative) return mag > uint64_t{INT64_MAX} + 1 ? INT64_MIN : static_cast<int64_t>(0 - mag);
  return mag > uint64_t{INT64_MAX} ? INT64_MAX : static_cast<int64_t>(mag);
}

}  // namespace kor
