// Fuzz target for the picture compiler, FORMAT and DEFORMAT. The input is a
// picture text, a zero byte, and a text to read; the text's bytes also make a
// number to format. Every compiled record must keep its width and FORMAT
// must write exactly that many characters. What DEFORMAT reads is formatted
// and read back: the text read back must give the value that was formatted
// (as far as the picture shows it: its places, its fields, its resolution),
// and formatting that value again must show the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/pictures/format.h"
#include "runtime/pictures/format_digits.h"
#include "runtime/pictures/picture.h"

namespace {

using kor::Picture;
using kor::PictureKind;

void Check(bool ok, const char* what, std::string_view shown) {
  if (!ok) {
    fprintf(stderr, "check failed: %s: \"%.*s\"\n", what, static_cast<int>(shown.size()),
            shown.data());
    abort();
  }
}

bool Shows(const Picture& p, uint8_t code) {
  for (int k = 0; k < p.width; ++k)
    if (p.cells[k].code == code) return true;
  return false;
}

// A date picture that shows the day, the month and a four-digit year.
bool ShowsWholeDate(const Picture& p) {
  int year_cells = 0;
  for (int k = 0; k < p.width; ++k) year_cells += p.cells[k].code == kor::kCellYear;
  return year_cells == 4 && Shows(p, kor::kCellDay) &&
         (Shows(p, kor::kCellMonth) || Shows(p, kor::kCellMonthName));
}

// A number as the picture shows it: rounded to its places (@E: to its
// significant digits), trailing zeros dropped.
kor::Digits Shown(const std::string& value, const Picture& p) {
  kor::Digits v;
  if (!kor::DigitsFromText(value, '.', &v)) kor::DigitsFromLong(0, &v);
  if (p.kind == PictureKind::kScientific) {
    if (!v.IsZero()) kor::RoundDigits(&v, p.numeric.places - (v.point - 1));
  } else {
    kor::RoundDigits(&v, p.kind == PictureKind::kPattern ? 0 : p.numeric.places);
  }
  kor::TrimDigits(&v);
  return v;
}

bool SameNumber(const kor::Digits& a, const kor::Digits& b) {
  return a.negative == b.negative && a.count == b.count && (a.count == 0 || a.point == b.point) &&
         std::memcmp(a.d, b.d, static_cast<size_t>(a.count)) == 0;
}

// The value read back from what FORMAT showed against the value formatted.
void CheckValue(const Picture& p, const std::string& formatted, const std::string& read,
                std::string_view shown) {
  switch (p.kind) {
    case PictureKind::kNumeric:
    case PictureKind::kScientific:
    case PictureKind::kPattern:
      Check(SameNumber(Shown(formatted, p), Shown(read, p)), "number read back", shown);
      break;
    case PictureKind::kDate:
      if (ShowsWholeDate(p)) Check(read == formatted, "date read back", shown);
      break;
    case PictureKind::kTime: {
      // Times show no hundredths; pictures without seconds no seconds.
      long unit = Shows(p, kor::kCellSecond) ? 100 : 6000;
      long a = std::atol(formatted.c_str()), b = std::atol(read.c_str());
      bool none = a == 0 || b == 0;
      Check(none ? a == b : (a - 1) / unit == (b - 1) / unit, "time read back", shown);
      break;
    }
    case PictureKind::kKeyIn: Check(read == formatted, "key-in text read back", shown); break;
    default: break;
  }
}

void CheckRoundTrip(std::string_view text, const Picture& p) {
  if (p.kind == PictureKind::kInvalid || p.kind == PictureKind::kString) return;
  kor::DeformatResult r = kor::Deformat(text, p);
  if (!r.ok) return;
  std::string shown = kor::FormatText(r.value, p);
  // A number that does not fit its field shows "#" and cannot read back.
  bool number = p.kind == PictureKind::kNumeric || p.kind == PictureKind::kScientific ||
                p.kind == PictureKind::kPattern;
  if (number && shown.find('#') != std::string::npos) return;
  kor::DeformatResult again = kor::Deformat(shown, p);
  Check(again.ok, "what FORMAT shows reads back", shown);
  CheckValue(p, r.value, again.value, shown);
  Check(kor::FormatText(again.value, p) == shown, "the value read back shows the same", shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const char* split = static_cast<const char*>(std::memchr(bytes, 0, size));
  size_t picture_length = split ? static_cast<size_t>(split - bytes) : size;
  std::string picture(bytes, picture_length);
  std::string_view text;
  if (split) text = std::string_view(split + 1, size - picture_length - 1);

  Picture p;
  kor::CompilePicture(picture.c_str(), picture.size(), &p);
  if (p.kind == PictureKind::kInvalid && p.width != 0) std::abort();

  char out[kor::kMaxPictureWidth];
  int64_t number = 0;
  double real = 0;
  if (text.size() >= sizeof number) std::memcpy(&number, text.data(), sizeof number);
  if (text.size() >= sizeof real)
    std::memcpy(&real, text.data() + text.size() - sizeof real, sizeof real);
  size_t expect = p.kind == PictureKind::kInvalid ? 0 : p.width;
  if (kor::FormatLong(number, p, out) != expect) std::abort();
  if (kor::FormatReal(real, p, out) != expect) std::abort();
  if (kor::FormatText(text, p, out) != expect) std::abort();

  CheckRoundTrip(text, p);
  // A valid picture written without blanks inside an expression ends where
  // the expression's scanner ends it (patterns end at their first closing
  // letter, which a literal of the same letter would cut short).
  bool scanned_whole = p.kind != PictureKind::kInvalid && p.kind != PictureKind::kPattern &&
                       p.kind != PictureKind::kKeyIn && !picture.empty() && picture[0] == '@' &&
                       picture.find(' ') == std::string::npos;
  if (scanned_whole)
    Check(kor::PictureTextLength(picture) == picture.size(), "picture extent", picture);
  return 0;
}
