// Prompts, strings and bound strings.
//
// A prompt (KorPrompt, on the platform's "Static") shows its fixed text,
// left-aligned, centred for attribute 0x10, right-aligned for 0x08; a "&"
// marks its mnemonic, which moves the focus to the next control that takes
// it (dialog_keys.h). A string and a bound string are windows of the
// runtime's own class KorString that draw their text with the window's font
// and the same alignment, without mnemonics; a bound string shows its
// variable through its picture (bound_value.h), formatted again on every
// Refresh. Both answer WM_GETTEXT with what they show.
#pragma once

#include "ui/resource/control_kinds.h"

namespace kor {

void* CreatePrompt(const ControlCreation& creation);
void* CreateString(const ControlCreation& creation);

}  // namespace kor
