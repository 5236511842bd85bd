// Where a picture written inside other text ends: the picture syntax of
// picture.h read for its extent only (whether the picture is valid is the
// compiler's business).
#include <cstddef>
#include <string_view>

#include "runtime/pictures/picture.h"

namespace kor {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsPointChar(char c) { return c == '.' || c == '`' || c == 'v' || c == 'V'; }

// Reads over the text; `at` is the position of the next character.
class Extent {
 public:
  explicit Extent(std::string_view text, size_t at) : text_(text), at_(at) {}

  size_t at() const { return at_; }
  bool Is(char c) const { return at_ < text_.size() && text_[at_] == c; }
  bool IsAny(std::string_view set) const {
    return at_ < text_.size() && set.find(text_[at_]) != std::string_view::npos;
  }
  bool NextIsDigit() const { return at_ + 1 < text_.size() && IsDigit(text_[at_ + 1]); }
  bool NextIsPoint() const { return at_ + 1 < text_.size() && IsPointChar(text_[at_ + 1]); }
  void Skip() { ++at_; }
  bool Take(char c) {
    if (!Is(c)) return false;
    ++at_;
    return true;
  }
  bool TakeAny(std::string_view set) {
    if (!IsAny(set)) return false;
    ++at_;
    return true;
  }
  void Digits() {
    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
  }
  // "$" or "~text~"; an unterminated text runs to the end.
  bool Currency() {
    if (Take('$')) return true;
    if (!Is('~')) return false;
    size_t close = text_.find('~', at_ + 1);
    at_ = close == std::string_view::npos ? text_.size() : close + 1;
    return true;
  }
  // Up to and including the next `letter` in either case, or to the end.
  void Through(char letter) {
    while (at_ < text_.size() && (text_[at_] | 0x20) != letter) ++at_;
    if (at_ < text_.size()) ++at_;
  }
  // A final blank-when-zero marker, unless it starts a word.
  void BlankWhenZero() {
    if (!IsAny("Bb")) return;
    char after = at_ + 1 < text_.size() ? text_[at_ + 1] : ' ';
    if (!IsLetter(after) && !IsDigit(after) && after != '_' && after != ':') ++at_;
  }

 private:
  std::string_view text_;
  size_t at_;
};

// [fill]n[window][separator]
void DateTime(Extent& e, bool date) {
  if (e.IsAny("_*") || (e.Is('0') && e.NextIsDigit())) e.Skip();
  e.Digits();
  if (date && e.TakeAny("<>")) e.Digits();
  e.TakeAny(".-_`");
}

// [currency][sign][fill]width[grouping][indicator places][trailing sign]
// [trailing currency]
void Numeric(Extent& e) {
  bool currency = e.Currency();
  bool minus = e.Take('-');
  bool parenthesis = !minus && e.Take('(');
  if (e.IsAny("_*0") && e.NextIsDigit()) e.Skip();
  e.Digits();
  if (e.IsAny("._`") && e.NextIsPoint()) e.Skip();  // grouping
  if (e.IsAny(".`vV")) {
    e.Skip();
    e.Digits();
  } else {
    e.Take('_');  // a blank grouping at the end
  }
  if (parenthesis) e.Take(')');
  else if (!minus) e.Take('-');
  if (!currency) e.Currency();
}

}  // namespace

size_t PictureTextLength(std::string_view text) {
  if (text.size() < 2 || text[0] != '@' || !IsLetter(text[1])) return 0;
  Extent e(text, 2);
  switch (text[1] | 0x20) {
    case 'd': DateTime(e, true); break;
    case 't': DateTime(e, false); break;
    case 'n': Numeric(e); break;
    case 'e':
      e.Digits();
      if (e.TakeAny(".`")) e.Digits();
      break;
    case 'p': e.Through('p'); break;
    case 'k': e.Through('k'); break;
    default: e.Digits(); break;  // @S, and letters that are no kind
  }
  e.BlankWhenZero();
  return e.at();
}

}  // namespace kor
