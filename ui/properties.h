// Setting and reading properties of the runtime itself (target 0, the system
// target of system_target.h) and of the top window's controls (target = a
// field number). Each target kind's property handler interprets the number;
// a property no handler knows is ignored (reads give "").
//
// The language's form takes its arguments from the string stack: the
// property number was pushed first, then the value. A number is decimal, or
// hexadecimal with a trailing "h" ("7C68h").
//
// A control target with no window open on the thread: error 536 ("Window is
// not open"). A field the window lacks: nothing happens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kor {

void SetPropertyValue(int32_t target, uint32_t property, int32_t index, const std::string& value);
std::string GetPropertyValue(int32_t target, uint32_t property, int32_t index);

// The statement form: pops the value, then the property number.
void SetProperty(int32_t target, int32_t index);

// "7C68h" -> 0x7C68, "31848" -> 31848; false for anything else.
bool ParsePropertyNumber(std::string_view text, uint32_t* out);

}  // namespace kor
