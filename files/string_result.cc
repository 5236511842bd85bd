// String results of driver operations go onto the string stack.
#include "files/string_result.h"

#include "runtime/values/string_stack.h"

namespace kor {

void PushDriverString(const std::string& text) { PushCopy(text); }

}  // namespace kor
