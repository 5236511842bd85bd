// FORMAT and DEFORMAT: dispatch by picture kind, and the string and key-in
// pictures.
#include "runtime/pictures/format.h"

#include <charconv>
#include <cstring>

#include "runtime/os/ascii.h"
#include "runtime/pictures/format_digits.h"

namespace kor {

namespace {

size_t FormatString(std::string_view value, const Picture& p, char* out) {
  size_t n = value.size() < p.width ? value.size() : p.width;
  if (n > 0) std::memcpy(out, value.data(), n);  // an empty view may hold null
  std::memset(out + n, ' ', p.width - n);
  return p.width;
}

bool Fits(uint8_t code, char c) {
  switch (code) {
    case kCellDigit: return IsAsciiDigit(c);
    case kCellDigitBlank: return IsAsciiDigit(c) || c == ' ';
    case kCellLetter: return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 128 || c == ' ';
    default: return true;
  }
}

size_t FormatKeyIn(std::string_view value, const Picture& p, char* out) {
  size_t next = 0;
  for (int k = 0; k < p.width; ++k) {
    if (p.cells[k].code == kCellLiteral) {
      out[k] = p.cells[k].ch;
    } else {
      out[k] = next < value.size() ? value[next++] : ' ';
    }
  }
  return p.width;
}

// The data characters of typed text: literals may be typed or left out.
DeformatResult DeformatKeyIn(std::string_view text, const Picture& p) {
  DeformatResult r;
  size_t j = 0;
  for (int k = 0; k < p.width; ++k) {
    uint8_t code = p.cells[k].code;
    if (code == kCellLiteral) {
      if (j < text.size() && text[j] == p.cells[k].ch) ++j;
      continue;
    }
    char c = j < text.size() ? text[j] : ' ';
    if (!Fits(code, c)) {
      r.ok = false;
      c = ' ';
    } else if (j < text.size()) {
      ++j;
    }
    r.value += c;
  }
  while (j < text.size() && text[j] == ' ') ++j;
  if (j != text.size()) r.ok = false;  // more than the picture holds
  r.value.resize(TrimTrailingBlanks(r.value).size());
  return r;
}

size_t Invalid(char* out) {
  (void)out;
  return 0;
}

size_t FormatDigits(const Digits& v, const Picture& p, char* out) {
  switch (p.kind) {
    case PictureKind::kNumeric: return FormatNumeric(v, p, out);
    case PictureKind::kScientific: return FormatScientific(v, p, out);
    case PictureKind::kPattern: return FormatPattern(v, p, out);
    default: return Invalid(out);
  }
}

int32_t ToInt32(const Digits& v) {
  int64_t n = DigitsToLong(v);
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(n);
}

}  // namespace

size_t FormatLong(int64_t value, const Picture& p, char* out) {
  switch (p.kind) {
    case PictureKind::kDate:
    case PictureKind::kTime: {
      int32_t v = value > INT32_MAX   ? INT32_MAX
                  : value < INT32_MIN ? INT32_MIN
                                      : static_cast<int32_t>(value);
      return p.kind == PictureKind::kDate ? FormatDate(v, p, out) : FormatTime(v, p, out);
    }
    case PictureKind::kString:
    case PictureKind::kKeyIn: {
      if (value == 0 && (p.flags & kPicBlankWhenZero)) return FormatString({}, p, out);
      char buf[24];
      auto r = std::to_chars(buf, buf + sizeof buf, value);
      std::string_view text(buf, static_cast<size_t>(r.ptr - buf));
      return p.kind == PictureKind::kString ? FormatString(text, p, out)
                                            : FormatKeyIn(text, p, out);
    }
    case PictureKind::kInvalid: return Invalid(out);
    default: {
      Digits v;
      DigitsFromLong(value, &v);
      return FormatDigits(v, p, out);
    }
  }
}

size_t FormatReal(double value, const Picture& p, char* out) {
  switch (p.kind) {
    case PictureKind::kDate:
    case PictureKind::kTime: {
      // Day counts and times are whole numbers: the fraction is cut.
      int64_t v = value != value ? 0
                  : value > 4e9  ? INT64_C(4000000000)
                  : value < -4e9 ? INT64_C(-4000000000)
                                 : static_cast<int64_t>(value);
      return FormatLong(v, p, out);
    }
    case PictureKind::kString:
    case PictureKind::kKeyIn: {
      if (value == 0 && (p.flags & kPicBlankWhenZero)) return FormatString({}, p, out);
      char buf[40];
      auto r = std::to_chars(buf, buf + sizeof buf, value);
      std::string_view text(buf, static_cast<size_t>(r.ptr - buf));
      return p.kind == PictureKind::kString ? FormatString(text, p, out)
                                            : FormatKeyIn(text, p, out);
    }
    case PictureKind::kInvalid: return Invalid(out);
    default: {
      Digits v;
      DigitsFromReal(value, &v);
      return FormatDigits(v, p, out);
    }
  }
}

size_t FormatText(std::string_view value, const Picture& p, char* out) {
  switch (p.kind) {
    case PictureKind::kString: return FormatString(value, p, out);
    case PictureKind::kKeyIn: return FormatKeyIn(value, p, out);
    case PictureKind::kInvalid: return Invalid(out);
    default: {
      // A number held as text; text that is no number counts as 0.
      value = TrimTrailingBlanks(value);
      Digits v;
      if (!DigitsFromText(value, 0, &v)) DigitsFromLong(0, &v);
      if (p.kind == PictureKind::kDate || p.kind == PictureKind::kTime)
        return FormatLong(ToInt32(v), p, out);
      return FormatDigits(v, p, out);
    }
  }
}

std::string FormatLong(int64_t value, const Picture& p) {
  char buf[kMaxPictureWidth];
  return std::string(buf, FormatLong(value, p, buf));
}

std::string FormatReal(double value, const Picture& p) {
  char buf[kMaxPictureWidth];
  return std::string(buf, FormatReal(value, p, buf));
}

std::string FormatText(std::string_view value, const Picture& p) {
  char buf[kMaxPictureWidth];
  return std::string(buf, FormatText(value, p, buf));
}

std::string FormatLong(int64_t value, std::string_view picture) {
  return FormatLong(value, CompilePicture(picture));
}

std::string FormatReal(double value, std::string_view picture) {
  return FormatReal(value, CompilePicture(picture));
}

std::string FormatText(std::string_view value, std::string_view picture) {
  return FormatText(value, CompilePicture(picture));
}

DeformatResult Deformat(std::string_view text, const Picture& p) {
  switch (p.kind) {
    case PictureKind::kNumeric:
    case PictureKind::kScientific: return DeformatNumeric(text, p);
    case PictureKind::kPattern: return DeformatPattern(text, p);
    case PictureKind::kDate: return DeformatDate(text, p);
    case PictureKind::kTime: return DeformatTime(text, p);
    case PictureKind::kKeyIn: return DeformatKeyIn(text, p);
    case PictureKind::kString: return DeformatResult{true, std::string(text)};
    default: return DeformatResult{false, std::string(text)};
  }
}

DeformatResult Deformat(std::string_view text, std::string_view picture) {
  return Deformat(text, CompilePicture(picture));
}

}  // namespace kor
