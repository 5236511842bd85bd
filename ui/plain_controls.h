// Stand-in control kinds built on the platform's own controls: buttons,
// check boxes and group boxes as "Button", prompts and strings as "Static",
// entry fields and spin boxes as "Edit", lists as "ListBox" (drop-down lists
// as "ComboBox"). They carry what the window library relies on (field
// numbers, names, child identifiers field + 16384, the variables bound in
// record order, EVENT:Accepted from buttons and changed entries,
// EVENT:Selected when one takes the focus, EVENT:NewSelection from lists)
// and nothing of the runtime's own drawing, pictures or queues: the control
// classes of ui/controls/ take their slots over.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/resource/control_kinds.h"

namespace kor {

// The stand-in kind of a type code; null for a kind without one (drawn
// graphics, kinds not in this program).
const ControlKind* PlainControlKind(uint8_t type);
// Fills each listed slot that is empty or holds a placeholder with its
// stand-in. Returns the number of slots filled.
int RegisterPlainControlKinds(const uint8_t* types, size_t count);

}  // namespace kor
