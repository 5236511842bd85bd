// The list box's column format string: parsed into the ordered columns a
// list draws, each with its geometry, alignment, header, picture, colours,
// options and the queue fields it shows. Portable (no platform calls), so
// that it is tested natively and fuzzed.
//
// Grammar, read left to right; columns follow each other without
// separators, "[" ... "]" makes a group that may carry its own header and
// modifiers after the "]":
//   column    := width [align ["(" indent ")"]] modifier*
//   width     := unsigned decimal, in the window's horizontal unit
//   align     := "L" | "R" | "C" | "D"   (R, C, D set the header's too)
//   modifier  := "~" text "~" [align ["(" n ")"]]   header, its alignment
//              | "@" picture "@"                    picture ("@" kept first)
//              | "#" n "#"                          first queue field
//              | "*"                                four colour fields
//              | "E(" c "," c "," c "," c ")"       fixed colours (n or nH)
//              | "I" | "J"                          icon field (J transparent)
//              | "T" ["(" options ")"]              tree (L 1 R B I)
//              | "Y"                                style field
//              | "Z(" n ")"                         style number
//              | "M" | "F"                          resizable, fixed
//              | "S" ["(" n ")"]                    scrolling, width n (100)
//              | "H(" n ")"                         vertical measure
//              | "|" | "_"                          right, bottom border
//              | "?"                                designated column
//              | "/"                                starts a new line
// The letters E I J T Y Z M F S H also work in lower case; the alignment
// letters only in upper case.
//
// Queue fields: each column takes consecutive fields starting at its first
// (the "#" number, else the field after the previous column's last): the
// value; four colours with "*"; an icon number with "I"/"J"; the tree level
// with "T"; a style number with "Y".
//
// Bad input never stops the parse or reads past the text: a character that
// cannot start a column is skipped; an unterminated header or picture runs to
// the end of the string; a missing ")" or "#" ends the number where the
// digits end; numbers saturate at kMaxFormatNumber; at most kMaxColumns
// columns are kept (the rest is read and dropped). "[" inside a group and a
// "]" outside one are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/resource/units.h"

namespace kor {

inline constexpr int32_t kMaxFormatNumber = 1000000;
inline constexpr size_t kMaxColumns = 256;
inline constexpr int32_t kDefaultScrollUnits = 100;
inline constexpr int32_t kNoColour = -1;

enum class ColumnAlign : uint8_t { kLeft, kRight, kCentre, kDecimal };

// Option bits of a column or group.
enum ColumnOption : uint32_t {
  kColResizable = 1u << 0,        // M
  kColFixed = 1u << 1,            // F
  kColScroll = 1u << 2,           // S
  kColRightBorder = 1u << 3,      // |
  kColBottomBorder = 1u << 4,     // _
  kColIcon = 1u << 5,             // I
  kColTransparentIcon = 1u << 6,  // J (kColIcon set too)
  kColTree = 1u << 7,             // T
  kColColourFields = 1u << 8,     // *
  kColStyleField = 1u << 9,       // Y
  kColDesignated = 1u << 10,      // ?
  kColNewLine = 1u << 11,         // /
  kColColours = 1u << 12,         // E with at least one colour
};

// Tree options (the letters inside T(...)).
enum TreeOption : uint32_t {
  kTreeL = 1u << 0,
  kTree1 = 1u << 1,
  kTreeR = 1u << 2,
  kTreeB = 1u << 3,
  kTreeI = 1u << 4,
};

// What a column and a group both carry.
struct ColumnLook {
  ColumnAlign header_align = ColumnAlign::kLeft;
  int32_t header_indent = 0;  // units
  std::string header;         // between the tildes
  int32_t header_lines = 0;   // 0 without a header, else line feeds + 1
  uint32_t options = 0;
  int32_t colours[4] = {kNoColour, kNoColour, kNoColour, kNoColour};
  int32_t scroll_units = 0;  // with kColScroll
  uint32_t tree_options = 0;
  int32_t style = 0;          // Z
  int32_t measure_units = 0;  // H
};

struct ListColumn : ColumnLook {
  int32_t x = 0;            // pixels from the list's left
  int32_t width = 0;        // pixels, >= 0
  int32_t right = -1;       // last pixel: x + width - 1 (x - 1 for width 0)
  int32_t width_units = 0;  // as written
  ColumnAlign align = ColumnAlign::kLeft;
  int32_t indent = 0;     // data indent, units
  std::string picture;    // "@s40"; empty: shown with kDefaultColumnPicture
  char picture_type = 0;  // the picture's first letter, 0 without one
  int32_t group = -1;     // index into ColumnFormat::groups, -1 = none
  // Queue fields (1-based), 0 where the column has none.
  int32_t value_field = 0;
  int32_t colour_field = 0;  // first of four
  int32_t icon_field = 0;
  int32_t tree_field = 0;
  int32_t style_field = 0;
};

inline constexpr char kDefaultColumnPicture[] = "@S30";

struct ColumnGroup : ColumnLook {
  int32_t first_column = 0;
  int32_t column_count = 0;
};

struct ColumnFormat {
  std::vector<ListColumn> columns;
  std::vector<ColumnGroup> groups;
  int32_t designated = 0;   // the column the bound variable receives
  int32_t field_count = 0;  // highest queue field any column takes
  int32_t total_width = 0;  // pixels: the running x after the last column
};

// Parses `format`; widths and x positions through `scale` (the window's
// horizontal unit). An empty string gives no columns.
ColumnFormat ParseColumnFormat(std::string_view format, const UnitScale& scale);

}  // namespace kor
