// GETINI on the string stack: the language's reader of profile files.
#pragma once

namespace kor {

// Pops section (the top), entry, default and file, pushes GetIni's result
// (runtime/locale/environment.h has the rules).
void GETINI();

}  // namespace kor
