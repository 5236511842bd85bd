// Reading environment-file lines, decoding escapes and splitting value lists.
#include "runtime/locale/environment_file.h"

#include "runtime/os/ascii.h"

namespace kor {

namespace {
// Tabs count as blanks wherever the file skips or separates.
bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool EnvironmentLineReader::Feed(const char* p, size_t n) {
  if (ended_) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = p[i];
    if (c == kEnvEndOfFile) {
      EndLine();
      ended_ = true;
      return false;
    }
    if (c == '\r' || c == '\n') {
      EndLine();
    } else if (!seen_equals_) {
      if (c == '=') {
        seen_equals_ = true;
      } else if (!IsBlankOrTab(c) && key_.size() < kEnvMaxKey) {
        key_.push_back(c);
      }
    } else if (value_.size() < kEnvMaxValue) {
      value_.push_back(c);
    }
  }
  return true;
}

void EnvironmentLineReader::Finish() {
  if (!ended_) EndLine();
  ended_ = true;
}

void EnvironmentLineReader::EndLine() {
  if (seen_equals_) {
    size_t n = value_.size();
    while (n > 0 && IsBlankOrTab(value_[n - 1])) --n;
    handler_(key_, std::string_view(value_).substr(0, n));
  }
  key_.clear();
  value_.clear();
  seen_equals_ = false;
}

std::string DecodeEnvironmentValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  size_t i = 0;
  while (i < raw.size()) {
    char c = raw[i];
    if (c != '<' || i + 1 >= raw.size()) {
      out.push_back(c);
      ++i;
      continue;
    }
    char next = raw[i + 1];
    if (next == '<') {
      out.push_back('<');
      i += 2;
      continue;
    }
    if (!IsAsciiDigit(next)) {
      out.push_back('<');
      out.push_back(next);
      i += 2;
      continue;
    }
    size_t j = i + 1;
    unsigned code = 0;
    bool too_big = false;
    while (j < raw.size() && IsAsciiDigit(raw[j])) {
      code = code * 10 + static_cast<unsigned>(raw[j] - '0');
      if (code > 255) too_big = true;
      if (too_big) code = 256;  // stays above the limit without overflowing
      ++j;
    }
    if (too_big) {
      out.append(raw.substr(i, j - i));
      i = j;
      continue;
    }
    out.push_back(static_cast<char>(code));
    i = j < raw.size() ? j + 1 : j;  // the character after the digits goes
  }
  return out;
}

std::vector<std::string> SplitEnvironmentList(std::string_view value, bool single_item) {
  std::vector<std::string> items;
  size_t b = 0;
  while (b < value.size() && IsBlankOrTab(value[b])) ++b;
  value.remove_prefix(b);
  if (value.empty()) return items;

  if (value[0] != '"') {
    if (single_item) {
      items.emplace_back(value);
      return items;
    }
    size_t start = 0;
    while (true) {
      size_t comma = value.find(',', start);
      std::string_view part =
          value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
      while (!part.empty() && IsBlankOrTab(part.front())) part.remove_prefix(1);
      while (!part.empty() && IsBlankOrTab(part.back())) part.remove_suffix(1);
      items.emplace_back(part);
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    return items;
  }

  value = value.substr(0, kEnvMaxQuotedList);
  size_t i = 0;
  while (i < value.size()) {
    while (i < value.size() && (IsBlankOrTab(value[i]) || value[i] == ',')) ++i;
    if (i >= value.size()) break;
    std::string item;
    if (value[i] == '"') {
      ++i;
      while (i < value.size()) {
        if (value[i] == '"') {
          if (i + 1 < value.size() && value[i + 1] == '"') {
            item.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item.push_back(value[i++]);
      }
    } else {
      while (i < value.size() && !IsBlankOrTab(value[i]) && value[i] != ',')
        item.push_back(value[i++]);
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace kor
