// The text format of the environment file: lines of KEY=value, the "<"
// escapes inside values, and value lists. Knows nothing of what keys mean.
//
// Format facts:
//   - Carriage returns and line feeds end lines; character 26 (Ctrl-Z) ends
//     the file; the file is read through a 2048-byte buffer.
//   - The key is the non-blank characters before the first "=", at most 31
//     (the rest is cut); a line without "=" is skipped.
//   - The value is the rest of the line, at most 1024 characters; trailing
//     blanks and tabs are removed before the escapes are decoded, so an
//     escaped blank ("<32>") at the end survives.
//   - "<" followed by decimal digits stands for the character with that code
//     (0 to 255), and the character after the digits (normally ">") is
//     consumed; "<<" stands for "<"; any other "<" stays, with the character
//     that follows it. Digits giving a code above 255 are no escape: the text
//     stays as written.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kor {

inline constexpr size_t kEnvReadBuffer = 2048;
inline constexpr size_t kEnvMaxKey = 31;
inline constexpr size_t kEnvMaxValue = 1024;
inline constexpr size_t kEnvMaxQuotedList = 400;
inline constexpr char kEnvEndOfFile = 26;

// Splits bytes into key/value lines, across any number of Feed calls.
class EnvironmentLineReader {
 public:
  // Called once per line that has a "=", with the key and the raw value
  // (cut to 1024 characters, trailing blanks and tabs removed, escapes
  // not yet decoded).
  using LineHandler = std::function<void(std::string_view key, std::string_view raw_value)>;

  explicit EnvironmentLineReader(LineHandler handler) : handler_(std::move(handler)) {}

  // Takes the next bytes of the file. Returns false once Ctrl-Z has ended
  // the file; later bytes are ignored.
  bool Feed(const char* p, size_t n);
  // Ends the last line if the file did not end with a line end.
  void Finish();

 private:
  void EndLine();

  LineHandler handler_;
  std::string key_;
  std::string value_;
  bool seen_equals_ = false;
  bool ended_ = false;
};

// Decodes the "<" escapes of a raw value.
std::string DecodeEnvironmentValue(std::string_view raw);

// Splits a decoded value into items. Leading blanks and tabs are skipped. A
// value that begins with a double quote is a list of quoted items (at most
// 400 characters of it are read): items are separated by blanks or commas,
// two double quotes inside a quoted item stand for one, and a bare word
// between separators is an item too. Any other value is cut at each comma
// into items with their surrounding blanks and tabs removed, unless
// `single_item` is set: then the whole value is one item.
std::vector<std::string> SplitEnvironmentList(std::string_view value, bool single_item);

}  // namespace kor
