// Position units: MulDiv rounding, the scales of the four units, and the
// rounding of natural sizes up to whole units.
#include "ui/resource/units.h"

#include "ui/resource/window_format.h"

namespace kor {

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  bool negative = (product < 0) != (c < 0);
  // |product| fits 63 bits except for INT32_MIN * INT32_MIN, which is 2^62.
  uint64_t magnitude = product < 0 ? 0 - static_cast<uint64_t>(product) : product;
  uint64_t divisor = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : c;
  uint64_t q = (magnitude + divisor / 2) / divisor;
  if (q > (negative ? uint64_t{0x80000000} : uint64_t{0x7FFFFFFF})) return -1;
  return negative ? static_cast<int32_t>(0 - q) : static_cast<int32_t>(q);
}

UnitScale MakeUnitScale(int32_t attr, const UnitMetrics& m, bool report) {
  switch (attr & kUnitMask) {
    case kUnitDialog: return {2 * m.average_char_width, m.char_height, 8};
    case kUnitInch25: return {m.pixels_per_inch_x, m.pixels_per_inch_y, 25};
    case kUnitInch1000: return {m.pixels_per_inch_x, m.pixels_per_inch_y, 1000};
    default:
      if (report) return {m.pixels_per_inch_x, m.pixels_per_inch_y, 72};
      return {1, 1, 1};
  }
}

namespace {

Converted Convert(int32_t numerator, int32_t divisor, int32_t value) {
  if (value == kOmitted) return {0, true};
  return {MulDivRound(value, numerator, divisor), false};
}

int32_t RoundUp(int32_t numerator, int32_t divisor, int32_t pixels) {
  if (numerator == 0 || divisor == 0) return pixels;
  int32_t units = MulDivRound(pixels, divisor, numerator);
  int32_t back = MulDivRound(units, numerator, divisor);
  if (back < pixels) back = MulDivRound(units + 1, numerator, divisor);
  return back;
}

}  // namespace

Converted ToPixelsX(const UnitScale& s, int32_t value) {
  return Convert(s.horizontal, s.divisor, value);
}
Converted ToPixelsY(const UnitScale& s, int32_t value) {
  return Convert(s.vertical, s.divisor, value);
}
int32_t RoundUpToUnitsX(const UnitScale& s, int32_t pixels) {
  return RoundUp(s.horizontal, s.divisor, pixels);
}
int32_t RoundUpToUnitsY(const UnitScale& s, int32_t pixels) {
  return RoundUp(s.vertical, s.divisor, pixels);
}

}  // namespace kor
