// FORMAT and DEFORMAT: showing values through a display picture and reading
// typed text back.
//
// FORMAT always yields exactly the picture's width. Dates, times and zero
// numbers with blank-when-zero show blanks for "no value"; a number that does
// not fit its field (or is not finite) shows the whole width as "#".
//
// DEFORMAT reads everything FORMAT writes, and what a person types:
//   numbers   the picture's currency, grouping characters, blanks and "+"
//             are skipped; "-" anywhere or parentheses make it negative; the
//             picture's decimal indicator is the point ("." also for "v",
//             where text without a point has the last `places` digits as
//             decimals; "," instead of "." wherever "." groups the digits);
//             @E also takes an exponent "e"/"E".
//   dates     numbers and month names (short names, or any unambiguous
//             start of a long one) in the picture's field order; two-digit
//             years through the picture's century window; a run of digits
//             without separators is split by the picture's field widths
//             (with a two-digit year when it is two digits short); a missing
//             year in a three-part picture is this year; pictures without a
//             day read day 1. The date must exist.
//   times     hours, minutes, seconds, hundredths; a run of digits without
//             separators splits as hhmm or hhmmss (or h/hmm); a day-half
//             mark (or a bare "A"/"P") turns 12-hour into 24-hour time.
//   patterns  @P takes the digits; @K the data characters, matching each
//             to its cell's class, with literals optional.
// Blank text reads as 0 (no date, no time, zero). The result is the value as
// text: a decimal number, a day count, a time value, or the string itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/pictures/picture.h"

namespace kor {

// Core forms: write exactly p.width characters to out (room for
// kMaxPictureWidth) and return that width.
size_t FormatLong(int64_t value, const Picture& p, char* out);
size_t FormatReal(double value, const Picture& p, char* out);
// A value held as text (a STRING variable, or a decimal's digits).
size_t FormatText(std::string_view value, const Picture& p, char* out);

std::string FormatLong(int64_t value, const Picture& p);
std::string FormatReal(double value, const Picture& p);
std::string FormatText(std::string_view value, const Picture& p);
std::string FormatLong(int64_t value, std::string_view picture);
std::string FormatReal(double value, std::string_view picture);
std::string FormatText(std::string_view value, std::string_view picture);

struct DeformatResult {
  bool ok = true;     // false: the text could not be read whole
  std::string value;  // the value read (the input itself for string kinds)
};

DeformatResult Deformat(std::string_view text, const Picture& p);
DeformatResult Deformat(std::string_view text, std::string_view picture);

// ---- per-kind parts (format_number.cc, format_date.cc, deformat_date.cc) ---

struct Digits;
size_t FormatNumeric(const Digits& v, const Picture& p, char* out);
size_t FormatScientific(const Digits& v, const Picture& p, char* out);
size_t FormatPattern(const Digits& v, const Picture& p, char* out);
size_t FormatDate(int32_t date, const Picture& p, char* out);
size_t FormatTime(int32_t time, const Picture& p, char* out);
DeformatResult DeformatNumeric(std::string_view text, const Picture& p);
DeformatResult DeformatPattern(std::string_view text, const Picture& p);
DeformatResult DeformatDate(std::string_view text, const Picture& p);
DeformatResult DeformatTime(std::string_view text, const Picture& p);

}  // namespace kor
