// Display pictures: the picture syntax and its compiled record.
//
// A picture is compiled once into a Picture record and then used by FORMAT
// and DEFORMAT (format.h). The text begins with an optional "@" and a kind
// letter (either case); trailing blanks are ignored, and a final "B" or "b"
// (after the blanks are gone) sets blank-when-zero. Kinds:
//
//   @Sn          string of width n (1-255).
//   @D[f]n[w][s] date: f fill "0", "_" (blank) or "*"; n 1-18; w "<"k (a
//                two-digit year lies up to k years back, default 80) or ">"k
//                (up to k years ahead: window 99-k, ">" alone 19); s the
//                separator ".", "-", "_" (blank) or "`" (comma).
//   @T[f]n[s]    time, n 1-8, fill and separator as for dates.
//   @N...        number: [currency][sign][fill]width[grouping][indicator
//                places][trailing sign][trailing currency] (see ParseNumeric
//                in picture.cc for the exact rules). A grouping character
//                equal to the decimal point shown with the places ("@N15..2",
//                "@N15``2") is invalid: the text could not be read back.
//   @Ew.p        scientific: total width w, p places in the mantissa; the
//                indicator may be "." or "`" (comma). The text is an optional
//                "-", one digit, the indicator and p digits when p > 0, then
//                "e", the exponent's sign and at least two exponent digits,
//                right-aligned. w must hold the sign, the mantissa and "e+00".
//   @P...P       pattern for numbers: between "@P" and a final "P" (either
//                case), "#" is a digit, "<" a digit shown blank while it is
//                a leading zero, anything else a literal shown as written.
//                The rounded whole number fills the digit cells from the
//                right; a negative number shows "-" in the last blank "<"
//                cell before its first digit; literals left of the first
//                shown digit and after a blank "<" cell show blank.
//   @K...K       key-in pattern for text: between "@K" and a final "K", "#"
//                is a digit, "<" a digit or blank, "@" a letter, "?" any
//                character, anything else a literal. The value holds the
//                data characters only; FORMAT places them in order and
//                DEFORMAT takes them back out.
//
// A null picture text compiles to @S255; an invalid one to the empty record
// (kind kInvalid, width 0). The record keeps a pointer to the text, which
// must outlive it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

enum class PictureKind : uint8_t {
  kInvalid = 0,
  kNumeric = 1,
  kDate = 2,
  kTime = 3,
  kScientific = 4,
  kString = 5,
  kPattern = 6,
  kKeyIn = 7,
};

enum PictureFlag : uint16_t {
  kPicSystemMarks = 1 << 0,    // day-half cells show "s1159"/"s2359" (@T7, @T8)
  kPicBlankWhenZero = 1 << 6,  // a trailing "B"
};

// Cell codes. Date and time codes are fixed by the record format; codes 1-4
// are the pattern cells of @P and @K.
enum CellCode : uint8_t {
  kCellLiteral = 0,
  kCellDigit = 1,       // "#"
  kCellDigitBlank = 2,  // "<"
  kCellLetter = 3,      // "@" in @K
  kCellAny = 4,         // "?" in @K
  kCellMonth = 7,
  kCellDay = 8,
  kCellYear = 9,
  kCellMonthName = 10,
  kCellHour = 11,
  kCellMinute = 12,
  kCellSecond = 13,
  kCellSeparator = 0x13,
  kCellDayHalf = 0x14,
};

// One output position of a date, time or pattern picture: the fill (digit
// cells), the character (literal and separator cells) and the cell code.
struct PictureCell {
  char ch;
  uint8_t code;
};

// Numeric layout of @N; the currency text is kept in the record's cells.
enum class NumericSign : uint8_t { kNone, kLeadingMinus, kParentheses, kTrailingMinus };

struct NumericLayout {
  NumericSign sign;
  bool currency_trailing;
  uint8_t currency_length;  // characters of currency text in cells[0..]
  char fill;                // 0 (none), '0', ' ' (from "_") or '*'
  char grouping;            // 0 (none), ',', '.' or ' '
  char point;               // 0 (no places), '.', ',' or 'v'
  uint8_t places;
};

inline constexpr int kMaxPictureWidth = 255;

struct Picture {
  PictureKind kind = PictureKind::kInvalid;
  uint16_t flags = 0;
  uint8_t width = 0;
  uint8_t century_window = 80;  // dates: years a two-digit year may lie back
  uint8_t number = 0;           // @D6 → 6, @S20 → 20, @E12.3 → 12
  NumericLayout numeric{};
  const char* source = nullptr;  // the picture text, not owned
  std::array<PictureCell, kMaxPictureWidth> cells;
};

// Compiles a picture text; null gives @S255, an invalid text the empty record.
Picture CompilePicture(const char* text);
Picture CompilePicture(std::string_view text);
void CompilePicture(const char* text, size_t length, Picture* out);

// The length of the picture that starts `text` ("@", the kind letter and
// what the kind's syntax above takes; a trailing "B" or "b" when no letter,
// digit, "_" or ":" follows it), so that a picture written inside other text
// (an expression) ends where its own syntax ends: "@P(###) ###-####P" keeps
// its blank, "@N(8)" its ")" but not a second one. A pattern without its
// closing letter and a currency without its closing "~" run to the end of
// the text. An unknown kind letter takes the digits after it. 0 when text
// does not start with "@" and a letter.
size_t PictureTextLength(std::string_view text);

}  // namespace kor
