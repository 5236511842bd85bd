// The control library's kinds for the window library's creation table:
// button, check box, group, prompt, string, bound string, entry, spin box,
// list and image (a drop-down list keeps the window library's stand-in).
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

// The library's kind for a type code; null when it has none.
const ControlKind* LibraryControlKind(uint8_t type);
// Registers the library's kind for each listed type that has one, in place
// of a stand-in or placeholder. Returns the number registered.
int RegisterLibraryControlKinds(const uint8_t* types, size_t count);

}  // namespace kor
