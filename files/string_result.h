// How the file layer hands a string result to compiled code: on the string
// stack.
#pragma once

#include <string>

namespace kor {

// Pushes an owned copy of the text on the string stack.
void PushDriverString(const std::string& text);

}  // namespace kor
