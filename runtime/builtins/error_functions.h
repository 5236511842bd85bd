// ERROR(), DRIVERERROR() and DRIVERERRORCODE(): the language's readers of the
// error state, which hand their texts over on the string stack.
#pragma once

namespace kor {

// ERROR(): pushes an owned copy of all 80 characters of the error text,
// blanks included, on the string stack. The Windows headers define ERROR as
// a constant: the declaration steps around it, and code that sees both calls
// PushErrorText, the same function under a name the headers leave alone.
#pragma push_macro("ERROR")
#undef ERROR
void ERROR();
inline void PushErrorText() { ERROR(); }
#pragma pop_macro("ERROR")
// Push the driver's code text and message, trailing blanks removed (empty
// when never set), on the string stack.
void DRIVERERRORCODE();
void DRIVERERROR();

}  // namespace kor
