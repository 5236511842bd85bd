// The units of a window's positions and their conversion to pixels.
//
// A window's attribute bits 0x300 choose the unit of every position block in
// it; pixel = value * numerator / divisor, rounded as the platform's MulDiv
// rounds (to nearest, halves away from zero), with x and width taking the
// horizontal numerator and y and height the vertical one:
//
//   BITS   UNIT            HORIZONTAL          VERTICAL            DIVISOR
//   0      dialog unit     2 * average width   character height    8
//   0x100  1/25 inch       pixels per inch     pixels per inch     25
//   0x200  1/1000 inch     pixels per inch     pixels per inch     1000
//   0x300  window: pixel   1                   1                   1
//          report: point   pixels per inch     pixels per inch     72
//
// An omitted value (0x80000000) converts to 0 and marks a default: the control
// then computes its natural size, which is rounded up to whole units.
#pragma once

#include <cstdint>

namespace kor {

// The platform's MulDiv: a * b / c in 64 bits, rounded to nearest with halves
// away from zero; -1 when c is 0 or the result does not fit 32 bits.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// What the conversion needs of the window's font and device.
struct UnitMetrics {
  int32_t average_char_width = 0;  // of the window's font, pixels
  int32_t char_height = 0;         // of the window's font, pixels
  int32_t pixels_per_inch_x = 96;
  int32_t pixels_per_inch_y = 96;
};

struct UnitScale {
  int32_t horizontal = 1;  // numerators
  int32_t vertical = 1;
  int32_t divisor = 1;
};

// The scale of a window (report = false) or report with attribute word `attr`.
UnitScale MakeUnitScale(int32_t attr, const UnitMetrics& metrics, bool report);

// One converted value: pixels, and whether it was omitted (then 0 pixels).
struct Converted {
  int32_t pixels = 0;
  bool is_default = false;
};
Converted ToPixelsX(const UnitScale& s, int32_t value);
Converted ToPixelsY(const UnitScale& s, int32_t value);

// A natural size in pixels rounded up to a whole number of units: units =
// pixels * divisor / numerator; when that many units give fewer pixels than
// the natural size, one unit more. Returns the pixels of the units taken.
int32_t RoundUpToUnitsX(const UnitScale& s, int32_t pixels);
int32_t RoundUpToUnitsY(const UnitScale& s, int32_t pixels);

}  // namespace kor
