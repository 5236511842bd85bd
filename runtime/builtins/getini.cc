// GETINI on the string stack.
#include "runtime/builtins/getini.h"

#include <string>

#include "runtime/locale/environment.h"
#include "runtime/values/string_stack.h"

namespace kor {

void GETINI() {
  std::string section = PopToStdString();
  std::string entry = PopToStdString();
  std::string def = PopToStdString();
  std::string file = PopToStdString();
  PushCopy(GetIni(section, entry, def, file));
}

}  // namespace kor
