// The scanner of run-time expressions.
#include "runtime/expr/expr_scan.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/expr/expr_services.h"
#include "runtime/os/ascii.h"
#include "runtime/pictures/picture.h"

namespace kor {

bool IsNameStart(unsigned char c) { return c == '?' || c == '_' || IsLetterChar(c); }

bool IsNameChar(unsigned char c) {
  return c == '_' || c == ':' || IsAsciiDigit(c) || IsLetterChar(c);
}

void Scanner::Next(Token* token) {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  token->pos = pos_;
  token->len = 1;
  token->entry = nullptr;
  token->error = ScanError::kNone;
  if (pos_ >= text_.size()) {
    token->cls = TokenClass::kEnd;
    token->len = 0;
    return;
  }
  unsigned char c = static_cast<unsigned char>(text_[pos_]);
  if (IsNameStart(c)) return ScanName(token);
  if (IsAsciiDigit(c)) return ScanNumber(token);
  if (c == '\'') return ScanString(token);
  if (c == '@') return ScanPicture(token);
  ++pos_;
  token->cls = TokenClass::kOperator;
  switch (c) {
    case '+': token->op = kExprAdd; return;
    case '-': token->op = kExprSubtract; return;
    case '*': token->op = kExprMultiply; return;
    case '/': token->op = kExprDivide; return;
    case '~': token->op = kExprTilde; return;
    case '<': token->op = kExprLess; return;
    case '>': token->op = kExprGreater; return;
    case '=': token->op = kExprEqual; return;
    case '&': token->op = kExprConcat; return;
    case ',': token->op = kExprComma; return;
    case ':': token->op = kExprColon; return;
    case '%': token->op = kExprModulo; return;
    case '^': token->op = kExprPower; return;
    case '(': token->cls = TokenClass::kOpenParen; return;
    case ')': token->cls = TokenClass::kCloseParen; return;
    case '[': token->cls = TokenClass::kOpenBracket; return;
    case ']': token->cls = TokenClass::kCloseBracket; return;
    default:
      token->cls = TokenClass::kError;
      token->error = ScanError::kBadCharacter;
      return;
  }
}

void Scanner::ScanName(Token* token) {
  size_t start = pos_++;
  while (pos_ < text_.size() && IsNameChar(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  if (pos_ < text_.size() && (text_[pos_] == '#' || text_[pos_] == '$' || text_[pos_] == '"')) {
    ++pos_;
  }
  token->len = pos_ - start;
  std::string_view name = text_.substr(start, token->len);
  token->text.assign(name);
  const BindEntry* entry = LookupName(name);
  if (entry == nullptr) {
    token->cls = TokenClass::kError;
    token->error = ScanError::kUnboundName;
    PostError(kErrNoBind);
    return;
  }
  if (entry->kind == BindKind::kKeyword) {
    token->cls = TokenClass::kOperator;
    token->op = entry->op;
    return;
  }
  token->cls = TokenClass::kName;
  token->entry = entry;
}

void Scanner::ScanNumber(Token* token) {
  size_t start = pos_;
  bool is_real = false;
  while (pos_ < text_.size() && IsAsciiDigit(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '.') {
    is_real = true;
    ++pos_;
    while (pos_ < text_.size() && IsAsciiDigit(text_[pos_])) ++pos_;
  }
  if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
    size_t p = pos_ + 1;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
    if (p < text_.size() && IsAsciiDigit(text_[p])) {
      while (p < text_.size() && IsAsciiDigit(text_[p])) ++p;
      pos_ = p;
      is_real = true;
    }
  }
  token->len = pos_ - start;
  token->cls = TokenClass::kConstant;
  const char* first = text_.data() + start;
  const char* last = text_.data() + pos_;
  if (!is_real) {
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && ptr == last) {
      token->constant_class = ResultClass::kInteger;
      token->integer = value;
      return;
    }
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value);
  // Out of range: a value too small for a real (a negative exponent, or no
  // non-zero integer digit) is zero; one too large is an error.
  if (ec == std::errc::result_out_of_range) {
    bool tiny = true;
    bool in_integer_part = true;
    for (const char* p = first; p < last; ++p) {
      if (*p == 'e' || *p == 'E') {
        tiny = p + 1 < last && p[1] == '-';
        break;
      }
      if (*p == '.') in_integer_part = false;
      if (in_integer_part && *p != '0') tiny = false;
    }
    if (tiny) {
      token->constant_class = ResultClass::kReal;
      token->real = 0.0;
      return;
    }
    token->cls = TokenClass::kError;
    token->error = ScanError::kBadNumber;
    return;
  }
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
    token->cls = TokenClass::kError;
    token->error = ScanError::kBadNumber;
    return;
  }
  token->constant_class = ResultClass::kReal;
  token->real = value;
}

void Scanner::ScanString(Token* token) {
  size_t start = pos_++;
  token->text.clear();
  for (;;) {
    if (pos_ >= text_.size()) {
      token->cls = TokenClass::kError;
      token->error = ScanError::kUnterminatedString;
      token->len = pos_ - start;
      return;
    }
    char c = text_[pos_++];
    if (c == '\'') {
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        token->text.push_back('\'');
        ++pos_;
        continue;
      }
      break;
    }
    token->text.push_back(c);
  }
  token->len = pos_ - start;
  token->cls = TokenClass::kConstant;
  token->constant_class = ResultClass::kString;
}

void Scanner::ScanPicture(Token* token) {
  size_t start = pos_;
  size_t length = PictureTextLength(text_.substr(start));
  if (length < 2) {
    ++pos_;
    token->cls = TokenClass::kError;
    token->error = ScanError::kEmptyPicture;
    return;
  }
  pos_ += length;
  token->len = length;
  token->cls = TokenClass::kPicture;
  token->text.assign(text_.substr(start, length));
}

}  // namespace kor
