// Readers of the values of description properties: each takes the tokens
// after the property's name and gives the value or a message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rsc/names.h"
#include "tools/rsc/text_tree.h"
#include "ui/resource/window_records.h"

namespace rsc {

using Args = std::vector<Token>;

// Exactly one text.
bool ReadText(const Args& args, std::string* out, std::string* error);
// One whole number within [low, high].
bool ReadInt(const Args& args, int64_t low, int64_t high, int64_t* out, std::string* error);
// One 32-bit word (a number).
bool ReadWord(const Args& args, int32_t* out, std::string* error);
// Bits as names of `names` and hexadecimal numbers, at most `max`.
bool ReadBits(const Args& args, const BitNames& names, int64_t max, int32_t* out,
              std::string* error);
bool ReadIntToken(const Token& t, int64_t low, int64_t high, int64_t* out, std::string* error);
bool ReadReal(const Token& t, double* out, std::string* error);
// at X Y WIDTH HEIGHT, each a number or "default".
bool ReadPosition(const Args& args, kor::Position* out, std::string* error);
// A text (file name), "resource N", "system NAME|N", "ref KIND N" or "none".
bool ReadImage(const Args& args, bool cursor, kor::ImageName* out, std::string* error);
// "FACE" SIZE [colour C] [weight normal|bold|N]
bool ReadFont(const Args& args, kor::FontBlock* out, std::string* error);
// Three colours.
bool ReadColours(const Args& args, kor::ColourBlock* out, std::string* error);
// TYPE[(SIZE[,PLACES])] [@PICTURE] [extra N]
bool ReadVariable(const Args& args, kor::VariableDescriptor* out, std::string* error);
// One or more keys.
bool ReadKeys(const Args& args, std::vector<int32_t>* out, std::string* error);
// Status-bar widths: numbers and "rest".
bool ReadStatusWidths(const Args& args, std::vector<int32_t>* out, std::string* error);
// A picture: one word starting with "@" (returned without it).
bool ReadPicture(const Args& args, std::string* out, std::string* error);
// The window attribute word's bits other than the unit, as hexadecimal
// numbers, added to *attr.
bool ReadWindowAttr(const Args& args, int32_t* attr, std::string* error);
// frame single|resizable|double|none and the window options: the second
// attribute word.
bool ReadFrame(const Args& args, int32_t* attr2, std::string* error);
// Words only (names and hexadecimal numbers of bits).
bool ReadWords(const Args& args, std::vector<std::string>* out, std::string* error);

}  // namespace rsc
