// The control library's entry of a program's initialisation table: it puts
// the runtime's own message box in place of the system's for the HALT and
// "Runtime error" messages, makes the windows' tool bars and performs and
// enables the buttons' standard actions (and takes all of it away again at
// close-down).
//   const InitEntry kTable[] = { ... KOR_UI_INIT_ENTRIES KOR_CONTROLS_INIT_ENTRIES ... };
#pragma once

#include <cstdint>

namespace kor {

void InitControlLibrary(int32_t arg);

}  // namespace kor

// clang-format off
#define KOR_CONTROLS_INIT_ENTRIES \
  {15, &kor::InitControlLibrary, &kor::InitControlLibrary},
// clang-format on
