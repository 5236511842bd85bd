// The HALT statement: the message comes off the string stack.
#pragma once

#include <cstdint>

namespace kor {

// Takes the message off the string stack, shows it in the "Halt" box unless
// `no_message` is non-zero, then halts with the code.
[[noreturn]] void HALT(uint32_t exit_code, uint8_t no_message);

}  // namespace kor
