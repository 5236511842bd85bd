// The HALT statement.
#include "runtime/builtins/halt.h"

#include <string>

#include "runtime/core/startup.h"
#include "runtime/memory/memory.h"
#include "runtime/values/string_stack.h"

namespace kor {

void HALT(uint32_t exit_code, uint8_t no_message) {
  HeapString message = {nullptr, 0};
  PopToHeap(&message);
  std::string text(message.text != nullptr ? message.text : "",
                   static_cast<size_t>(message.length));
  Free(message.text);
  if (no_message == 0) ShowHaltMessage(text.c_str());
  NoteStopMessageShown();
  Halt(exit_code);
}

}  // namespace kor
