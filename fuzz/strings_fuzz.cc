// Runs the bytes as a program of string-stack operations and checks every
// result against a plain std::string model of the same operations.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/builtins/string_functions.h"
#include "runtime/locale/collation.h"
#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"

namespace {

using Model = std::vector<std::string>;

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool done() const { return p_ >= end_; }
  uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  int32_t Signed() { return static_cast<int8_t>(Byte()); }
  // A text taken from the input itself (the stack may borrow it).
  const char* Text(size_t* n) {
    size_t want = Byte() % 48;
    size_t have = static_cast<size_t>(end_ - p_);
    *n = want < have ? want : have;
    const char* text = reinterpret_cast<const char*>(p_);
    p_ += *n;
    return text;
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

std::string Field(std::string s, int32_t n) {
  s.resize(static_cast<size_t>(n < 0 ? 0 : n), ' ');
  return s;
}

std::string ModelSub(const std::string& s, int32_t start, int32_t length) {
  int64_t size = static_cast<int64_t>(s.size());
  if (start == 0 || length <= 0) return {};
  int64_t first = start < 0 ? size + start + 1 : start;
  int64_t last = first + length - 1;
  if (first < 1) first = 1;
  if (last > size) last = size;
  if (last < first) return {};
  return s.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

int32_t ModelInString(const std::string& sub, const std::string& s, int32_t step, int32_t start) {
  if (sub.empty()) return 0;
  if (step == 0) step = 1;
  // Walk every position from the start in steps (bounded by the small sizes).
  for (int64_t p = start, n = 0; n < 4096; p += step, ++n) {
    if (p >= 1 && p + static_cast<int64_t>(sub.size()) - 1 <= static_cast<int64_t>(s.size()) &&
        s.compare(static_cast<size_t>(p - 1), sub.size(), sub) == 0) {
      return static_cast<int32_t>(p);
    }
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  Model model;
  while (!in.done()) {
    uint8_t op = in.Byte() % 16;
    int depth = static_cast<int>(model.size());
    bool full = depth >= kor::kStringStackDepth - 1;
    if (op <= 1 && !full) {
      size_t n;
      const char* text = in.Text(&n);
      if (op == 0) {
        kor::PushString(text, static_cast<int32_t>(n));
      } else {
        kor::PushCopy(std::string_view(text, n));
      }
      model.emplace_back(text, n);
    } else if (op == 2 && depth >= 2) {
      bool reversed = in.Byte() & 1;
      reversed ? kor::ConcatenateReversed() : kor::Concatenate();
      std::string top = model.back();
      model.pop_back();
      model.back() = reversed ? top + model.back() : model.back() + top;
    } else if (depth == 0) {
      continue;
    } else if (op == 3) {
      int32_t n = in.Signed();
      kor::LEFT(n);
      std::string& s = model.back();
      s = Field(std::string(kor::TrimLeadingBlanks(s)), n < 0 ? static_cast<int32_t>(s.size()) : n);
    } else if (op == 4) {
      int32_t n = in.Signed();
      kor::RIGHT(n);
      std::string& s = model.back();
      int32_t field = n < 0 ? static_cast<int32_t>(s.size()) : n;
      std::string t(kor::TrimTrailingBlanks(s));
      if (static_cast<int32_t>(t.size()) > field) t = t.substr(t.size() - field);
      s = std::string(static_cast<size_t>(field) - t.size(), ' ') + t;
    } else if (op == 5) {
      int32_t n = in.Signed();
      kor::CENTER(n);
      std::string& s = model.back();
      int32_t field = n < 0 ? static_cast<int32_t>(s.size()) : n;
      std::string t(kor::TrimBlanks(s));
      if (static_cast<int32_t>(t.size()) > field) t.resize(static_cast<size_t>(field));
      size_t lead = (static_cast<size_t>(field) - t.size()) / 2;
      s = Field(std::string(lead, ' ') + t, field);
    } else if (op == 6) {
      int32_t start = in.Signed(), length = in.Signed();
      kor::SUB(start, length);
      model.back() = ModelSub(model.back(), start, length);
    } else if (op == 7 && depth >= 2) {
      int32_t step = in.Signed(), start = in.Signed();
      int32_t got = kor::INSTRING(step, start);
      std::string s = model.back();
      model.pop_back();
      if (got != ModelInString(model.back(), s, step, start)) abort();
      model.pop_back();
    } else if (op == 8) {
      int32_t n = in.Byte();
      kor::ALL(n);
      std::string& s = model.back();
      std::string r;
      while (static_cast<int32_t>(r.size()) < n) r += s.empty() ? std::string(" ") : s;
      s = r.substr(0, static_cast<size_t>(n));
    } else if (op == 9) {
      kor::UPPER();
      for (char& c : model.back()) c = static_cast<char>(kor::ToUpperChar(static_cast<uint8_t>(c)));
    } else if (op == 10) {
      kor::CLIP();
      model.back().resize(kor::TrimTrailingBlanks(model.back()).size());
    } else if (op == 11) {
      int32_t n = in.Signed();
      kor::SetTopLength(n);
      model.back() = Field(model.back(), n);
    } else if (op == 12) {
      kor::DetachTop();
    } else if (op == 13) {
      if (kor::LEN() != static_cast<int32_t>(model.back().size())) abort();
      model.pop_back();
    } else if (op == 14 && depth >= 2) {
      std::string top = model.back();
      model.pop_back();
      int expect =
          kor::CollateCompare(model.back().data(), model.back().size(), top.data(), top.size());
      if (kor::CompareTopStrings() != expect) abort();
      model.pop_back();
    } else if (op == 15) {
      kor::PopString();
      model.pop_back();
    }
    if (kor::StringStackDepth() != static_cast<int>(model.size())) abort();
    if (!model.empty() && kor::TopView() != model.back()) abort();
  }
  kor::InitStringStack(1);  // frees owned entries
  return 0;
}
