// Small text helpers that know only ASCII: digits, letters, case, blanks.
//
// They follow no collating sequence, case table or locale, so they suit
// words of the program's own (SEND commands, option and property names,
// profile keys, driver names, picture letters) and the digits of numbers.
// The language's own case mapping and comparisons (UPPER, LOWER, sorting,
// no-case keys) follow the locale's tables in runtime/locale/collation.h.
//
// A blank is the space character only; TrimWhitespace also removes tabs,
// carriage returns and line feeds.
#pragma once

#include <string>
#include <string_view>

namespace kor {

constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool IsAsciiLetter(char c) { return IsAsciiUpper(c) || IsAsciiLower(c); }

// An ASCII letter in upper or lower case; every other character as it is
// (bytes from 128 included).
constexpr char AsciiUpper(char c) { return IsAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return IsAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// A copy with every ASCII letter in upper case.
std::string AsciiUpperText(std::string_view text);

// Equal in length and character for character once ASCII letters are put in
// one case.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// True when every character is a blank (an empty text too).
bool IsBlankText(std::string_view text);

// The text without its trailing blanks, leading blanks, or both: a view into
// `text` (an empty result too points into it).
std::string_view TrimTrailingBlanks(std::string_view text);
std::string_view TrimLeadingBlanks(std::string_view text);
std::string_view TrimBlanks(std::string_view text);

// The text without leading and trailing blanks, tabs, carriage returns and
// line feeds; a view into `text`.
std::string_view TrimWhitespace(std::string_view text);

}  // namespace kor
