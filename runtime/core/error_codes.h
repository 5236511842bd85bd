// The names of the error codes: one enumerator kErr<Name> per line of the
// message list (resources/messages.inc), so a code is written once, with its
// text, and everywhere else by name.
#pragma once

#include <cstdint>

namespace kor {

enum ErrorCode : int32_t {
  kErrNone = 0,
#define MXB_MESSAGE(id, name, text) kErr##name = id,
#include "resources/messages.inc"
#undef MXB_MESSAGE
};

// 300 + a system error number: the code PostError(0) posts for it.
inline constexpr int32_t kErrOsBase = 300;

}  // namespace kor
