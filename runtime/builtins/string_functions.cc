// The language's string functions on the string stack.
#include "runtime/builtins/string_functions.h"

#include <string.h>

#include "runtime/locale/collation.h"
#include "runtime/memory/memory.h"
#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"

namespace kor {

namespace {

// A result under construction: the inline-sized ones in a local buffer, the
// longer ones in a heap block that becomes an owned entry.
class Result {
 public:
  explicit Result(int32_t length) : length_(length < 0 ? 0 : length) {
    if (length_ > kStringInlineSize) {
      block_ = static_cast<char*>(Allocate(static_cast<size_t>(length_)));
      if (block_ == nullptr) {
        StringStackError();
        length_ = 0;
      }
    }
  }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
  ~Result() { Free(block_); }

  char* data() { return block_ != nullptr ? block_ : local_; }
  int32_t length() const { return length_; }

  // Pushes the result; the operands must already be popped.
  void Push() {
    if (block_ != nullptr) {
      PushOwnedString(block_, length_);
      block_ = nullptr;
    } else {
      PushCopy(std::string_view(local_, static_cast<size_t>(length_)));
    }
  }

 private:
  int32_t length_;
  char* block_ = nullptr;
  char local_[kStringInlineSize];
};

// The top's text, or an empty view when the stack is empty (the error has
// then been raised by the pop that follows).
std::string_view Top() { return TopView(); }

int32_t Size(std::string_view s) { return static_cast<int32_t>(s.size()); }

// Replaces the top with the given part of its own text.
void ReplaceTopWithPart(int32_t offset, int32_t length) {
  if (StringStackTop() == nullptr) {
    PopString();  // raises the error
    return;
  }
  std::string_view s = Top();
  Result result(length);
  if (result.length() > 0) memcpy(result.data(), s.data() + offset, static_cast<size_t>(length));
  PopString();
  result.Push();
}

// Pushes `text` in a field of `width`, placed after `lead` blanks.
void PushInField(std::string_view text, int32_t width, int32_t lead) {
  Result result(width);
  char* out = result.data();
  memset(out, ' ', static_cast<size_t>(result.length()));
  // A failed allocation leaves an empty result.
  if (!text.empty() && result.length() == width) memcpy(out + lead, text.data(), text.size());
  PopString();
  result.Push();
}

// The second entry and the top joined in the given order into one owned
// string that replaces both.
void Join(bool top_first) {
  if (StringStackDepth() < 2) {
    StringStackError();
    while (StringStackDepth() > 0) PopString();
    return;
  }
  const StringEntry* top = StringStackTop();
  const StringEntry* second = top - 1;
  const StringEntry* first = top_first ? top : second;
  const StringEntry* last = top_first ? second : top;
  int64_t total = static_cast<int64_t>(first->length) + last->length;
  if (total > INT32_MAX) total = INT32_MAX;
  auto* block = static_cast<char*>(Allocate(total > 0 ? static_cast<size_t>(total) : 1));
  if (block == nullptr) {
    StringStackError();
    PopString();
    return;
  }
  if (first->length > 0) memcpy(block, first->text, static_cast<size_t>(first->length));
  if (total > first->length)
    memcpy(block + first->length, last->text, static_cast<size_t>(total - first->length));
  PopString();
  PopString();
  PushOwnedString(block, static_cast<int32_t>(total));
}

}  // namespace

void Concatenate() { Join(false); }

void ConcatenateReversed() { Join(true); }

void LEFT(int32_t n) {
  StringEntry* e = WritableTop();
  if (e == nullptr) return;
  int32_t field = n < 0 ? e->length : n;
  int32_t lead = 0;
  while (lead < e->length && e->text[lead] == ' ') ++lead;
  if (lead > 0) {
    // Owned text must stay at the start of its block, so move the characters.
    memmove(e->text, e->text + lead, static_cast<size_t>(e->length - lead));
    e->length -= lead;
  }
  SetTopLength(field);
}

void RIGHT(int32_t n) {
  if (StringStackTop() == nullptr) {
    PopString();
    return;
  }
  std::string_view s = Top();
  int32_t field = n < 0 ? Size(s) : n;
  s = TrimTrailingBlanks(s);
  if (Size(s) > field) s.remove_prefix(s.size() - static_cast<size_t>(field));
  PushInField(s, field, field - Size(s));
}

void CENTER(int32_t n) {
  if (StringStackTop() == nullptr) {
    PopString();
    return;
  }
  std::string_view s = Top();
  int32_t field = n < 0 ? Size(s) : n;
  s = TrimBlanks(s);
  if (Size(s) > field) s = s.substr(0, static_cast<size_t>(field));
  PushInField(s, field, (field - Size(s)) / 2);
}

void UPPER() {
  StringEntry* e = WritableTop();
  if (e != nullptr && e->length > 0) ToUpperText(e->text, static_cast<size_t>(e->length));
}

void LOWER() {
  StringEntry* e = WritableTop();
  if (e != nullptr && e->length > 0) ToLowerText(e->text, static_cast<size_t>(e->length));
}

void CLIP() { ClipTop(); }

void SUB(int32_t start, int32_t length) {
  int64_t size = TopLength();
  // Work in 64 bits: start + length may pass the 32-bit range.
  int64_t first = start < 0 ? size + start + 1 : start;
  if (start == 0 || length <= 0) first = size + 1;  // empty
  int64_t last = first + length - 1;
  if (first < 1) first = 1;
  if (last > size) last = size;
  int32_t n = last >= first ? static_cast<int32_t>(last - first + 1) : 0;
  StringEntry* e = StringStackTop();
  if (e != nullptr && e->kind == kStringBorrowed) {
    // A borrowed text stays borrowed: only the window moves.
    if (n > 0) e->text += first - 1;
    e->length = n;
    return;
  }
  ReplaceTopWithPart(n > 0 ? static_cast<int32_t>(first - 1) : 0, n);
}

int32_t INSTRING(int32_t step, int32_t start) {
  if (StringStackDepth() < 2) {
    StringStackError();
    while (StringStackDepth() > 0) PopString();
    return 0;
  }
  const StringEntry* text = StringStackTop();
  const StringEntry* sub = text - 1;
  int64_t found = 0;
  int64_t last = static_cast<int64_t>(text->length) - sub->length + 1;  // last place it fits
  if (sub->length > 0 && last >= 1) {
    int64_t s = step == 0 ? 1 : step;
    int64_t p = start;
    // Pass over the places where sub cannot fit in one jump.
    if (s > 0 && p < 1) p += (1 - p + s - 1) / s * s;
    if (s < 0 && p > last) p -= (p - last + (-s) - 1) / (-s) * (-s);
    for (; p >= 1 && p <= last; p += s) {
      if (memcmp(text->text + p - 1, sub->text, static_cast<size_t>(sub->length)) == 0) {
        found = p;
        break;
      }
    }
  }
  PopString();
  PopString();
  return static_cast<int32_t>(found);
}

void ALL(int32_t n) {
  if (StringStackTop() == nullptr) {
    PopString();
    return;
  }
  std::string_view s = Top();
  Result result(n);
  char* out = result.data();
  if (s.empty()) {
    memset(out, ' ', static_cast<size_t>(result.length()));
  } else {
    for (int32_t i = 0; i < result.length(); i += Size(s)) {
      size_t chunk = static_cast<size_t>(result.length() - i) < s.size()
                         ? static_cast<size_t>(result.length() - i)
                         : s.size();
      memcpy(out + i, s.data(), chunk);
    }
  }
  PopString();
  result.Push();
}

void CHR(int32_t code) {
  char c = static_cast<char>(static_cast<uint8_t>(code));
  PushCopy(std::string_view(&c, 1));
}

int32_t VAL() {
  std::string_view s = Top();
  int32_t code = s.empty() ? 0 : static_cast<uint8_t>(s[0]);
  PopString();
  return code;
}

int32_t NUMERIC() {
  std::string_view s = Top();
  size_t i = 0, n = s.size();
  auto digits = [&] {
    size_t from = i;
    while (i < n && IsAsciiDigit(s[i])) ++i;
    return i - from;
  };
  while (i < n && s[i] == ' ') ++i;
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  size_t count = digits();
  if (i < n && s[i] == '.') {
    ++i;
    count += digits();
  }
  bool ok = count > 0;
  if (ok && i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    ok = digits() > 0;
  }
  while (i < n && s[i] == ' ') ++i;
  ok = ok && i == n;
  PopString();
  return ok ? 1 : 0;
}

int32_t LEN() {
  int32_t n = TopLength();
  PopString();
  return n;
}

}  // namespace kor
