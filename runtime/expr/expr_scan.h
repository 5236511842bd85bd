// The scanner of run-time expressions: splits expression text into names,
// operators, constants and pictures, looking names up in the bind tables.
//
// Token facts:
// - Blanks and tabs between tokens are skipped.
// - A name starts with "?", "_" or a letter and continues with letters,
//   digits, "_" and ":"; one final "#", "$" or double quote belongs to it.
//   A keyword (NOT, AND, OR, XOR) yields an operator token; a name bound
//   nowhere is an error token and posts 801.
// - A number is digits, an optional "." with decimal digits, and an optional
//   exponent ("e" or "E", an optional sign, digits). Without "." and exponent
//   and within 32 bits it is an integer constant, otherwise a real one; an
//   exponent without digits is not part of the number. A number too large
//   for a real is an error.
// - A string constant is enclosed in single quotes; two single quotes inside
//   stand for one; a missing closing quote is an error.
// - "@" starts a picture, which ends where its own syntax ends
//   (PictureTextLength in picture.h): "@P(###) ###-####P" is one picture,
//   and in "FORMAT(x, @N(8))" the picture is "@N(8)". "@" without a kind
//   letter is an error.
// - Operators: + - * / ~ < > = & , : % ^, and ( ) [ ].
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/expr/bind.h"

namespace kor {

enum class TokenClass : uint8_t {
  kName = 0,
  kOperator = 1,
  kOpenParen = 2,
  kCloseParen = 3,
  kConstant = 4,
  kOpenBracket = 5,
  kCloseBracket = 6,
  kEnd = 7,
  kError = 8,
  kPicture = 9,
};

// Why a token is an error.
enum class ScanError : uint8_t {
  kNone,
  kUnboundName,  // 801 posted
  kUnterminatedString,
  kBadNumber,  // too large for a real
  kEmptyPicture,
  kBadCharacter,
};

struct Token {
  TokenClass cls = TokenClass::kEnd;
  uint8_t op = 0;  // operator tokens
  size_t pos = 0;  // offset of the token's first character
  size_t len = 0;
  const BindEntry* entry = nullptr;  // names: the entry found
  ResultClass constant_class = ResultClass::kInteger;
  int32_t integer = 0;
  double real = 0;
  std::string text;  // string constants (quotes resolved), pictures, names
  ScanError error = ScanError::kNone;
};

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  // Reads the next token into `token`.
  void Next(Token* token);
  size_t position() const { return pos_; }

 private:
  void ScanName(Token* token);
  void ScanNumber(Token* token);
  void ScanString(Token* token);
  void ScanPicture(Token* token);

  std::string_view text_;
  size_t pos_ = 0;
};

// Whether a character may start or continue a name (letters of the case
// tables, digits where allowed).
bool IsNameStart(unsigned char c);
bool IsNameChar(unsigned char c);

}  // namespace kor
