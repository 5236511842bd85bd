// The runtime's message table compiled into the program: error code to text.
// Windows builds read the same list as a string-table resource instead.
#pragma once

#include <cstdint>

namespace kor {

// Text of message `id`, or null when the table has none.
const char* FindCompiledMessage(uint32_t id);

}  // namespace kor
