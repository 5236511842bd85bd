// The language's string functions, working on the string stack: the
// operands are popped and the result (a string pushed, or a number returned)
// replaces them. Arguments that are strings are on the stack, the first
// argument deepest; numeric arguments are passed.
#pragma once

#include <cstdint>

namespace kor {

// "&": pops two strings and pushes one owned string, the second entry followed
// by the top.
void Concatenate();
// The same with the top first and the second entry after it.
void ConcatenateReversed();

// LEFT(s, n): drops the leading blanks, then SetTopLength(n); a negative n
// keeps the length s had, so the text is left-justified in its own field.
void LEFT(int32_t n);
// RIGHT(s, n): drops the trailing blanks and right-justifies the text in a
// field of n characters (negative n: the length s had). A text longer than
// the field keeps its last n characters.
void RIGHT(int32_t n);
// CENTER(s, n): drops leading and trailing blanks and centres the text in a
// field of n characters (negative n: the length s had). An odd number of
// spare blanks puts the extra one on the right; a text longer than the field
// keeps its first n characters.
void CENTER(int32_t n);
// UPPER(s), LOWER(s): every character through the case tables.
void UPPER();
void LOWER();
// CLIP(s): removes trailing blanks.
void CLIP();

// SUB(s, start, length): the characters start .. start+length-1, counted from
// 1; a negative start counts from the end (-1 is the last character). The
// part of that range outside s is left out, so the result may be shorter
// than length; length <= 0 or start 0 gives an empty string.
void SUB(int32_t start, int32_t length);
// INSTRING(sub, s, step, start): the first position p among start,
// start+step, start+2*step, ... (positions where sub does not fit are passed
// over) at which s holds sub exactly; 0 when there is none or sub is empty.
// A negative step searches backwards; step 0 counts as 1. Pops both strings.
int32_t INSTRING(int32_t step, int32_t start);
// ALL(s, n): s repeated until the result is n characters long (the last copy
// cut); an empty s gives n blanks, n <= 0 an empty string.
void ALL(int32_t n);
// CHR(n): the one character whose code is n (modulo 256).
void CHR(int32_t code);
// VAL(s): the code (0..255) of the first character; 0 for an empty string.
int32_t VAL();
// NUMERIC(s): 1 when s, blanks around it aside, is a number: an optional
// sign, digits with at most one "." (at least one digit), and an optional
// exponent "e" or "E" with an optional sign and at least one digit; else 0.
int32_t NUMERIC();
// LEN(s): the number of characters, trailing blanks included.
int32_t LEN();

}  // namespace kor
