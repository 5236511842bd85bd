// ASCII-only case, comparison and trimming helpers.
#include "runtime/os/ascii.h"

namespace kor {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n";

}  // namespace

std::string AsciiUpperText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool IsBlankText(std::string_view text) { return text.find_first_not_of(' ') == text.npos; }

std::string_view TrimTrailingBlanks(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return text.substr(0, end == text.npos ? 0 : end + 1);
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  return text.substr(start == text.npos ? text.size() : start);
}

std::string_view TrimBlanks(std::string_view text) {
  return TrimLeadingBlanks(TrimTrailingBlanks(text));
}

std::string_view TrimWhitespace(std::string_view text) {
  size_t start = text.find_first_not_of(kWhitespace);
  if (start == text.npos) return text.substr(0, 0);
  size_t end = text.find_last_not_of(kWhitespace);
  return text.substr(start, end - start + 1);
}

}  // namespace kor
